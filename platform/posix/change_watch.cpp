#include "platform/posix/change_watch.h"

#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <unistd.h>

// Both descriptors are made here, before any other thread can call Wake().
CPosixChangeWatch::CPosixChangeWatch()
    : inotifyFd(::inotify_init1(IN_CLOEXEC | IN_NONBLOCK)), wakeFd(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
{
    if (inotifyFd < 0)
        Fail("inotify_init1");
    else if (wakeFd < 0)
        Fail("eventfd");
}

CPosixChangeWatch::~CPosixChangeWatch()
{
    if (inotifyFd >= 0)
        ::close(inotifyFd);
    if (wakeFd >= 0)
        ::close(wakeFd);
}

bool CPosixChangeWatch::Fail(std::string call)
{
    failedCall = std::move(call) + " (" + std::strerror(errno) + ")";
    return false;
}

bool CPosixChangeWatch::Add(const std::string& dir, std::uint32_t mask)
{
    if (inotifyFd < 0 || wakeFd < 0)
        return false;
    const int wd = ::inotify_add_watch(inotifyFd, dir.c_str(), mask | IN_ONLYDIR);
    if (wd < 0)
        return Fail("inotify_add_watch on " + dir);
    watched[wd] = dir;
    return true;
}

bool CPosixChangeWatch::IsWatched(const std::string& dir) const
{
    for (const auto& [wd, path] : watched)
        if (path == dir)
            return true;
    return false;
}

void CPosixChangeWatch::Wake()
{
    const std::uint64_t one = 1;
    // A full counter already means "woken": a failed write loses nothing.
    if (wakeFd >= 0 && ::write(wakeFd, &one, sizeof one) < 0)
        return;
}

bool CPosixChangeWatch::DrainWake()
{
    std::uint64_t count = 0;
    return ::read(wakeFd, &count, sizeof count) == sizeof count;
}

CPosixChangeWatch::Drained CPosixChangeWatch::DrainEvents(const Filter& relevant)
{
    alignas(inotify_event) char buffer[16 * 1024];
    bool any = false;
    for (;;) {
        const ssize_t length = ::read(inotifyFd, buffer, sizeof buffer);
        if (length < 0 && errno == EINTR)
            continue;
        if (length < 0 && errno == EAGAIN)
            return any ? Drained::Relevant : Drained::Nothing;
        if (length <= 0) {
            Fail("read on inotify");
            return Drained::Failed;
        }
        for (ssize_t at = 0; at < length;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            const std::string_view name = event->len ? std::string_view(event->name) : std::string_view();
            const auto dir = watched.find(event->wd);
            const std::string folder = dir == watched.end() ? std::string() : dir->second;
            if (event->mask & IN_IGNORED)
                watched.erase(event->wd);
            // An overflow lost events: only a fresh reading is safe then.
            if ((event->mask & IN_Q_OVERFLOW) || relevant(folder, name, event->mask))
                any = true;
        }
    }
}

WaitOutcome CPosixChangeWatch::Wait(const Filter& relevant)
{
    if (inotifyFd < 0 || wakeFd < 0)
        return WaitOutcome::Failed;
    for (;;) {
        pollfd fds[2] = {{inotifyFd, POLLIN, 0}, {wakeFd, POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            Fail("poll");
            return WaitOutcome::Failed;
        }
        const Drained drained = (fds[0].revents & POLLIN) ? DrainEvents(relevant) : Drained::Nothing;
        const bool woken = (fds[1].revents & POLLIN) && DrainWake();
        if (drained == Drained::Failed)
            return WaitOutcome::Failed;
        if (drained == Drained::Relevant)
            return WaitOutcome::Changed;
        if (woken)
            return WaitOutcome::Woken;
    }
}
