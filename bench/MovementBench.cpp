// The 10 ms movement step with a full table of 80 trains on layout A.
#include "KeepRunning.h"
#include "sim/Movement.h"
#include "sim/World.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <vector>

using namespace quillon;

namespace {

World world;

// One direction of a track of layout A.
struct Segment {
    EdgeRef edge;
    NodeRef to;
    std::int32_t length;
};

// Every track of layout A once (one direction of each), longest first.
std::vector<Segment> tracksOfA() {
    const Track& layout = activeTrack(world.layouts);
    std::vector<Segment> segments;
    for (int i = 0; i < layout.nodeCount(); ++i) {
        for (int slot = 0; slot < 3; ++slot) {
            const NodeEdge& edge = layout.nodes[static_cast<std::size_t>(i)].edges[slot];
            if (edge.dest > i)
                segments.push_back({EdgeRef{activeNode(world.layouts, i), slot},
                                    activeNode(world.layouts, edge.dest), edge.distance});
        }
    }
    std::stable_sort(segments.begin(), segments.end(),
                     [](const Segment& a, const Segment& b) { return a.length > b.length; });
    return segments;
}

// 80 trains running on layout A, spread so that none is near another: one in
// the middle of each track, and the last ones a quarter from either end of
// the longest tracks. Every train makes a full collision scan every step.
void spreadTrains() {
    world = makeWorld();
    std::vector<Segment> tracks = tracksOfA();
    int count = static_cast<int>(tracks.size());
    for (int number = 0; number < MAX_TRAINS; ++number) {
        bool extra = number >= count;
        const Segment& s = tracks[extra ? number - count : number];
        Train& train = *placeTrain(world, number, s.edge.node);
        train.speed = 1 + number % 14;
        train.nextNode = s.to;
        train.edge = s.edge;
        train.distance = s.length / (extra ? 4 : 2);
        train.exactDistance = static_cast<float>(train.distance);
    }
    for (int number = 0; number < MAX_TRAINS - count; ++number) {
        Train& train = world.trains.trains[number];
        train.distance = edgeAt(world, train.edge).distance * 3 / 4;
    }
    world.events.count = 0;
}

// The same 80-train step every iteration: the table is restored from a copy
// before each step (the copy alone is measured by BM_RestoreTrainTable).
void BM_StepTrains80Spread(benchmark::State& state) {
    spreadTrains();
    bench::stepFromSavedTable(state, world);
}
BENCHMARK(BM_StepTrains80Spread);

void BM_RestoreTrainTable(benchmark::State& state) {
    spreadTrains();
    TrainTable saved = world.trains;
    for (auto _ : state) {
        std::memcpy(&world.trains, &saved, sizeof world.trains);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_RestoreTrainTable);

// 80 trains placed on layout A's nodes and kept going for the whole run: after
// every step the controller's speed commands clear the crashes, so trains run
// through the layout, pile up at stops and collide as they would. The events
// are drained after every step, as the application does.
void BM_StepTrains80Running(benchmark::State& state) {
    world = makeWorld();
    int nodes = activeTrack(world.layouts).nodeCount();
    for (int number = 0; number < MAX_TRAINS; ++number)
        placeTrain(world, number, activeNode(world.layouts, number % nodes))->speed =
            1 + number % 14;
    for (auto _ : state)
        benchmark::DoNotOptimize(bench::stepKeepingTrainsRunning(world));
}
BENCHMARK(BM_StepTrains80Running);

} // namespace
