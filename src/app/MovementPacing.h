// When the window's trains move: timer 3 runs exactly while the window runs
// and a train is due to move, and a train that becomes due counts its first
// step from that moment, so a pause never turns into a jump.
#pragma once

#include "host/Host.h"

#include <cstdint>

namespace quillon {

constexpr int TIMER_MOVE = 3; // 10 ms while shown and a train is due to move

class MovementPacing {
public:
    // Starts or stops timer 3 for whether a train is due and the window
    // runs.
    void pace(Host& host, bool due, bool running);
    // The milliseconds since the last step, 0 at the first; a pause beyond
    // the signed range is held at its end, never taken as negative.
    std::int32_t sinceLastStep(Host& host);
    // The step just taken counts from now.
    void stepTaken(Host& host) { lastStep_ = host.milliseconds(); }

private:
    std::uint32_t lastStep_ = 0; // of the previous movement step; 0 before the first
    bool trainsWereDue_ = false;
    bool timerOn_ = false;
};

} // namespace quillon
