#include "controls/application_icon.h"

QIcon ApplicationIcon() { return QIcon(QStringLiteral(":/pictures/quillmark.png")); }
