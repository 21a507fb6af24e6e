#include "sim/pty_link.h"

#include <cstdio>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/inotify.h>
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
    if (slave < 0 || !MakeRaw(slave) || !MakeRaw(master)) {
        Unplug();
        return false;
    }
    // Watched before the link exists, so no host's open goes uncounted. A
    // board without the watch still works; it only never notices a session
    // end.
    watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (watch >= 0 && ::inotify_add_watch(watch, name, IN_OPEN | IN_CLOSE) < 0) {
        ::close(watch);
        watch = -1;
    }
    if (watch < 0)
        std::fprintf(stderr, "velkan-board-sim: cannot watch the port's opens and closes\n");
    if (!PointLink(linkPath, name)) {
        Unplug();
        return false;
    }
    return true;
}

bool PtyLink::HostsLeft()
{
    bool left = false;
    alignas(inotify_event) char events[4096];
    for (;;) {
        const ssize_t got = watch >= 0 ? ::read(watch, events, sizeof events) : -1;
        if (got <= 0)
            break;
        for (ssize_t at = 0; at < got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(events + at);
            if (event->mask & IN_OPEN)
                ++hostsOpen;
            // Judged at each close: a host that opens right after the last
            // one closed starts a session of its own.
            if ((event->mask & IN_CLOSE) && hostsOpen > 0 && --hostsOpen == 0)
                left = true;
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
    return left;
}

void PtyLink::DiscardInFlight()
{
    if (master >= 0)
        ::tcflush(master, TCIFLUSH);
    if (slave >= 0)
        ::tcflush(slave, TCIFLUSH);
}

void PtyLink::Unplug()
{
    ::unlink(linkPath.c_str());
    if (watch >= 0)
        ::close(watch);
    watch = -1;
    hostsOpen = 0;
    if (master >= 0)
        ::close(master);
    if (slave >= 0)
        ::close(slave);
    master = slave = -1;
}
