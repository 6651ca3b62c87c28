// The controller's bytes decoded in one read step: at most READ_CHUNK every
// STEP_PERIOD_MS, whether the steps are timed by a clock (the window) or
// counted in virtual time (a headless run). Both programs spend it alike, so
// a controller meets the same pace in either.
#pragma once

#include "app/StepTiming.h"

#include <cstdint>

namespace quillon {

struct ReadBudget {
    int used = 0;                // bytes decoded in the current step
    std::uint32_t stepStart = 0; // when the current step began, where a clock times steps

    // Bytes the current step may still decode: 0..READ_CHUNK.
    int left() const { return used < READ_CHUNK ? READ_CHUNK - used : 0; }
    bool spent() const { return used >= READ_CHUNK; }
    void spend(int bytes) { used += bytes; }
    // A new step, begun at now, with the whole budget.
    void renew(std::uint32_t now = 0) {
        stepStart = now;
        used = 0;
    }
    // Renews the budget once the current step has run its period by now.
    void renewIfDue(std::uint32_t now) {
        if (now - stepStart >= static_cast<std::uint32_t>(STEP_PERIOD_MS))
            renew(now);
    }
};

} // namespace quillon
