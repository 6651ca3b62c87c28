#include "backends/headless/Pacer.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
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
    signalFd_ = ::signalfd(-1, &set, SFD_CLOEXEC | SFD_NONBLOCK);
    // A log on a closed pipe fails its write instead of ending the run.
    std::signal(SIGPIPE, SIG_IGN);
}

Pacer::~Pacer() {
    if (signalFd_ >= 0)
        ::close(signalFd_);
}

Pacer::Clock::time_point Pacer::wallOf(std::int64_t timeMs) const {
    const double ms = static_cast<double>(timeMs) / speed_;
    // Beyond any clock's range: a time that never comes.
    if (ms > 1e15)
        return Clock::time_point::max();
    return start_ + std::chrono::duration_cast<Clock::duration>(
                        std::chrono::duration<double, std::milli>(ms));
}

std::int64_t Pacer::nextStepTime(std::int64_t stepMs) const {
    double elapsed = std::chrono::duration<double, std::milli>(Clock::now() - start_).count();
    return (static_cast<std::int64_t>(elapsed * speed_) / stepMs + 1) * stepMs;
}

bool Pacer::signalled() const {
    pollfd watched{signalFd_, POLLIN, 0};
    return ::poll(&watched, 1, 0) > 0 && (watched.revents & POLLIN) != 0;
}

Wake Pacer::waitUntil(std::int64_t timeMs, int fd, Clock::time_point wakeBy) {
    Clock::time_point due = wallOf(timeMs);
    Clock::time_point deadline = std::min(due, wakeBy);
    for (;;) {
        pollfd watched[2] = {{signalFd_, POLLIN, 0}, {fd, POLLIN, 0}};
        auto left = deadline - Clock::now();
        if (left < Clock::duration::zero())
            left = Clock::duration::zero();
        auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
        timespec timeout{static_cast<time_t>(ns / 1000000000), static_cast<long>(ns % 1000000000)};
        int ready = ::ppoll(watched, fd >= 0 ? 2 : 1,
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
