#include "backends/headless/Pacer.h"

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

Pacer::Clock::time_point Pacer::wallOf(std::int32_t timeMs) const {
    return start_ + std::chrono::duration_cast<Clock::duration>(
                        std::chrono::duration<double, std::milli>(timeMs / speed_));
}

std::int32_t Pacer::nextStepTime(std::int32_t stepMs) const {
    double elapsed = std::chrono::duration<double, std::milli>(Clock::now() - start_).count();
    double simulated = (std::floor(elapsed * speed_ / stepMs) + 1) * stepMs;
    return simulated > INT32_MAX - stepMs ? INT32_MAX - stepMs
                                          : static_cast<std::int32_t>(simulated);
}

Wake Pacer::waitUntil(std::int32_t timeMs, int fd) {
    Clock::time_point deadline = wallOf(timeMs);
    for (;;) {
        pollfd watched[2] = {{signalFd_, POLLIN, 0}, {fd, POLLIN, 0}};
        auto left = deadline - Clock::now();
        if (left < Clock::duration::zero())
            left = Clock::duration::zero();
        auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
        timespec timeout{static_cast<time_t>(ns / 1000000000), static_cast<long>(ns % 1000000000)};
        int ready = ::ppoll(watched, fd >= 0 ? 2 : 1, &timeout, nullptr);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready < 0) {
            // Nothing to wait on: keep the pace all the same.
            std::this_thread::sleep_until(deadline);
            return Wake::Due;
        }
        if (ready > 0 && (watched[0].revents & POLLIN) != 0)
            return Wake::Signal;
        if (ready > 0 && watched[1].revents != 0)
            return Wake::Readable;
        if (ready <= 0 && Clock::now() >= deadline)
            return Wake::Due;
    }
}

} // namespace quillon::headless
