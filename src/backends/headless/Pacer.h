// Real time for the headless program: simulated time runs `speed` times as
// fast as the steady clock from the moment the pacer is made. Waiting ends
// early for a request to end the program, and for bytes on the link when a
// waitable of it is given. On POSIX systems the requests are the signals
// SIGINT, SIGTERM and SIGHUP, blocked and taken synchronously, never by a
// handler; on Windows they are the console's control events (Ctrl+C,
// Ctrl+Break, the console closing, logoff, shutdown).
#pragma once

#include <chrono>
#include <cstdint>

namespace quillon::headless {

// What a wait can watch: a descriptor on POSIX systems (-1 for none), an
// event handle on Windows (nullptr for none).
#ifdef _WIN32
using Waitable = void*;
constexpr Waitable NO_WAITABLE = nullptr;
#else
using Waitable = int;
constexpr Waitable NO_WAITABLE = -1;
#endif

enum class Wake { Due, Readable, Signal, Later };

class Pacer {
public:
    using Clock = std::chrono::steady_clock;

    explicit Pacer(double speed);
    ~Pacer();
    Pacer(const Pacer&) = delete;
    Pacer& operator=(const Pacer&) = delete;

    // Waits until simulated time timeMs has come. With a link given,
    // returns Readable as soon as bytes (or the end of the stream) wait on
    // it; Signal as soon as an ending request has come, even before the
    // wait; Later when the clock reaches wakeBy first.
    Wake waitUntil(std::int64_t timeMs, Waitable link = NO_WAITABLE,
                   Clock::time_point wakeBy = Clock::time_point::max());

    // True when an ending request has come; never waits.
    bool signalled() const;

    // The first step time (a multiple of stepMs) still to come.
    std::int64_t nextStepTime(std::int64_t stepMs) const;

private:
    Clock::time_point wallOf(std::int64_t timeMs) const;

    Clock::time_point start_;
    double speed_;
    Waitable ending_ = NO_WAITABLE; // ready once an ending request came
};

} // namespace quillon::headless
