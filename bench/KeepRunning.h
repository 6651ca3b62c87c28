// One 10 ms step with the trains kept running, as benchmarks of a long run
// need them: crashes are cleared after the step, and the latch and the
// events drained, as the application drains them.
#pragma once

#include "sim/Movement.h"
#include "sim/World.h"

namespace quillon::bench {

inline bool stepKeepingTrainsRunning(World& world) {
    bool due = stepTrains(world, 10);
    for (int i = 0; i < world.trains.count; ++i)
        world.trains.trains[i].crashed = 0;
    world.latched.clear();
    world.events.count = 0;
    return due;
}

} // namespace quillon::bench
