// The system beneath a folder kept to the standard library: forbidden.
#include <unistd.h>
#include <vector>
