// The pacer's waits on POSIX systems: the ending signals through a
// signalfd, the link's descriptor and the clock through one ppoll.
#include "backends/headless/Pacer.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <poll.h>
#include <sys/signalfd.h>
#include <thread>
#include <unistd.h>

namespace quillon::headless {

Pacer::Pacer(double speed) : start_(Clock::now()), speed_(speed) {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGHUP);
    sigprocmask(SIG_BLOCK, &set, nullptr);
    ending_ = ::signalfd(-1, &set, SFD_CLOEXEC | SFD_NONBLOCK);
    // A log on a closed pipe fails its write instead of ending the run.
    std::signal(SIGPIPE, SIG_IGN);
}

Pacer::~Pacer() {
    if (ending_ >= 0)
        ::close(ending_);
}

bool Pacer::signalled() const {
    pollfd watched{ending_, POLLIN, 0};
    return ::poll(&watched, 1, 0) > 0 && (watched.revents & POLLIN) != 0;
}

Wake Pacer::waitUntil(std::int64_t timeMs, Waitable link, Clock::time_point wakeBy) {
    Clock::time_point due = wallOf(timeMs);
    Clock::time_point deadline = std::min(due, wakeBy);
    for (;;) {
        pollfd watched[2] = {{ending_, POLLIN, 0}, {link, POLLIN, 0}};
        auto left = deadline - Clock::now();
        if (left < Clock::duration::zero())
            left = Clock::duration::zero();
        auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
        timespec timeout{static_cast<time_t>(ns / 1000000000), static_cast<long>(ns % 1000000000)};
        int ready = ::ppoll(watched, link >= 0 ? 2 : 1,
                            deadline == Clock::time_point::max() ? nullptr : &timeout, nullptr);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready < 0) {
            // Nothing to wait on: keep the pace all the same.
            std::this_thread::sleep_until(deadline);
            return deadline == due ? Wake::Due : Wake::Later;
        }
        if (ready > 0 && (watched[0].revents & POLLIN) != 0)
            return Wake::Signal;
        if (ready > 0 && watched[1].revents != 0)
            return Wake::Readable;
        const Clock::time_point now = Clock::now();
        if (ready <= 0 && now >= due)
            return Wake::Due;
        if (ready <= 0 && now >= wakeBy)
            return Wake::Later;
    }
}

} // namespace quillon::headless
