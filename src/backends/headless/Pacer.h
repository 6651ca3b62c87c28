// Real time for the headless program: simulated time runs `speed` times as
// fast as the steady clock from the moment the pacer is made. Waiting ends
// early for the signals that end the program (SIGINT, SIGTERM, SIGHUP),
// which are blocked and taken synchronously, never by a handler, and for
// bytes on a descriptor when one is given.
#pragma once

#include <chrono>
#include <cstdint>

namespace quillon::headless {

enum class Wake { Due, Readable, Signal, Later };

class Pacer {
public:
    using Clock = std::chrono::steady_clock;

    explicit Pacer(double speed);
    ~Pacer();
    Pacer(const Pacer&) = delete;
    Pacer& operator=(const Pacer&) = delete;

    // Waits until simulated time timeMs has come. With fd >= 0, returns
    // Readable as soon as bytes (or the end of the stream) wait on it;
    // Signal as soon as an ending signal has come, even before the wait;
    // Later when the clock reaches wakeBy first.
    Wake waitUntil(std::int64_t timeMs, int fd = -1,
                   Clock::time_point wakeBy = Clock::time_point::max());

    // True when an ending signal has come; never waits.
    bool signalled() const;

    // The first step time (a multiple of stepMs) still to come.
    std::int64_t nextStepTime(std::int64_t stepMs) const;

private:
    Clock::time_point wallOf(std::int64_t timeMs) const;

    Clock::time_point start_;
    double speed_;
    int signalFd_ = -1;
};

} // namespace quillon::headless
