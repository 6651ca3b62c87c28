// The simulator as quillon-ctl sees it: one connected stream (a Unix domain
// socket on POSIX systems, a named pipe's server end on Windows), bytes
// out, answers in, and notice when it goes away.
#pragma once

#include "protocol/CommandFraming.h"
#include "track/TrackLayout.h"

#include <chrono>
#include <cstdint>

namespace quillon::ctl {

using Clock = std::chrono::steady_clock;

// The connected stream: a descriptor, or a pipe's handle on Windows.
#ifdef _WIN32
using Connection = void*;
#else
using Connection = int;
#endif

// Seconds from since to now.
inline double secondsSince(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

class Link {
public:
    // Takes the stream over: it is closed with the link.
    explicit Link(Connection connection) : connection_(connection) {}
    ~Link();
    Link(const Link&) = delete;
    Link& operator=(const Link&) = delete;

    // All count bytes, or false when the simulator has gone.
    bool send(const std::uint8_t* bytes, int count);
    // Up to count bytes within timeoutMs: how many came (count when all
    // did), or -1 when the simulator went away first.
    int receive(std::uint8_t* bytes, int count, int timeoutMs);
    // Throws away whatever the simulator sent unasked; false when it has gone.
    bool drain();
    // Waits until deadline, or until stdin has a line when watchInput; false
    // when the simulator went away meanwhile. inputReady tells which ended it.
    bool waitUntil(Clock::time_point deadline, bool watchInput, bool& inputReady);
    // Sends a report request and reads the answer: how many of its bytes
    // came within timeoutMs, or -1 when the simulator went away.
    int report(std::uint8_t (&answer)[REPORT_BYTES], int timeoutMs);

private:
    Connection connection_;
};

// The sensor numbers set in a report, in order; how many.
int sensorsIn(const std::uint8_t (&answer)[REPORT_BYTES], int (&numbers)[SENSOR_NUMBERS]);

} // namespace quillon::ctl
