#include "app/MovementPacing.h"

#include "app/StepTiming.h"

#include <limits>

namespace quillon {

void MovementPacing::pace(Host& host, bool due, bool running) {
    if (due && !trainsWereDue_)
        lastStep_ = host.milliseconds();
    trainsWereDue_ = due;
    const bool run = due && running;
    if (run == timerOn_)
        return;
    timerOn_ = run;
    if (run)
        host.startTimer(TIMER_MOVE, STEP_PERIOD_MS);
    else
        host.stopTimer(TIMER_MOVE);
}

std::int32_t MovementPacing::sinceLastStep(Host& host) {
    if (lastStep_ == 0)
        lastStep_ = host.milliseconds();
    const std::uint32_t elapsed = host.milliseconds() - lastStep_;
    constexpr std::uint32_t LONGEST = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(elapsed > LONGEST ? LONGEST : elapsed);
}

} // namespace quillon
