// How the movement benchmarks step the trains: a long run with the trains
// kept running, or the same step again and again from one saved table.
#pragma once

#include "sim/Movement.h"
#include "sim/World.h"

#include <benchmark/benchmark.h>

#include <cstring>

namespace quillon::bench {

// One 10 ms step: crashes are cleared after it, and the latch and the events
// drained, as the application drains them.
inline bool stepKeepingTrainsRunning(World& world) {
    bool due = stepTrains(world, 10);
    for (int i = 0; i < world.trains.count; ++i)
        world.trains.trains[i].crashed = 0;
    world.latched.clear();
    world.events.count = 0;
    return due;
}

// The same 10 ms step every iteration, the train table restored from its
// state before the first; the run fails when a train crashed, since the
// spread trains must each make a full collision scan.
inline void stepFromSavedTable(benchmark::State& state, World& world) {
    TrainTable saved = world.trains;
    for (auto _ : state) {
        std::memcpy(&world.trains, &saved, sizeof world.trains);
        benchmark::DoNotOptimize(stepTrains(world, 10));
        world.events.count = 0;
        benchmark::ClobberMemory();
    }
    for (int i = 0; i < world.trains.count; ++i)
        if (world.trains.trains[i].crashed)
            return state.SkipWithError("a spread train crashed");
}

} // namespace quillon::bench
