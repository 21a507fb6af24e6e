#include "sim/pty_link.h"

#include <cstdio>
#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

namespace {

// Raw on both ends: no echo of what the board sends, no line editing.
bool MakeRaw(int fd)
{
    termios settings{};
    if (::tcgetattr(fd, &settings) != 0)
        return false;
    ::cfmakeraw(&settings);
    return ::tcsetattr(fd, TCSANOW, &settings) == 0;
}

// Points the link at `target` in one step, so a host never finds it half-made.
bool PointLink(const std::string& link, const std::string& target)
{
    const std::string fresh = link + ".new";
    ::unlink(fresh.c_str());
    if (::symlink(target.c_str(), fresh.c_str()) != 0)
        return false;
    return ::rename(fresh.c_str(), link.c_str()) == 0;
}

}  // namespace

PtyLink::PtyLink(std::string linkPath) : linkPath(std::move(linkPath)) {}

PtyLink::~PtyLink() { Unplug(); }

bool PtyLink::Plug()
{
    Unplug();
    master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) {
        Unplug();
        return false;
    }
    const char* name = ::ptsname(master);
    slave = name ? ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC) : -1;
    if (slave < 0 || !MakeRaw(slave) || !MakeRaw(master) || !PointLink(linkPath, name)) {
        Unplug();
        return false;
    }
    return true;
}

void PtyLink::Unplug()
{
    ::unlink(linkPath.c_str());
    if (master >= 0)
        ::close(master);
    if (slave >= 0)
        ::close(slave);
    master = slave = -1;
}
