// The 10 ms movement step with a full table of 80 trains on layout A.
#include "protocol/SensorReport.h"
#include "host/NullHost.h"
#include "sim/Movement.h"
#include "sim/Trains.h"
#include "track/BuiltinLayouts.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <vector>

using namespace quillon;

namespace {

NullHost host;

void loadLayoutA() {
    setHost(&host);
    resetLayouts();
    loadBuiltinLayouts();
    resetTrains();
}

struct Segment {
    TrackNode* from;
    NodeEdge* edge;
};

// Every track of layout A once (one direction of each), longest first.
std::vector<Segment> tracksOfA() {
    TrackLayout& layout = activeLayout();
    std::vector<Segment> segments;
    for (int i = 0; i < layout.nodeCount; ++i) {
        for (NodeEdge& edge : layout.nodes[i].edges) {
            if (edge.dest > i)
                segments.push_back({&layout.nodes[i], &edge});
        }
    }
    std::stable_sort(segments.begin(), segments.end(), [](const Segment& a, const Segment& b) {
        return a.edge->distance > b.edge->distance;
    });
    return segments;
}

// 80 trains running on layout A, spread so that none is near another: one in
// the middle of each track, and the last ones a quarter from either end of
// the longest tracks. Every train makes a full collision scan every step.
void spreadTrains() {
    std::vector<Segment> tracks = tracksOfA();
    TrackLayout& layout = activeLayout();
    for (int number = 0; number < MAX_TRAINS; ++number) {
        bool extra = number >= static_cast<int>(tracks.size());
        const Segment& s = tracks[extra ? number - tracks.size() : number];
        Train& train = *placeTrain(number, *s.from);
        train.speed = 1 + number % 14;
        train.nextNode = &layout.nodes[s.edge->dest];
        train.edge = s.edge;
        train.distance = s.edge->distance / (extra ? 4 : 2);
        train.exactDistance = static_cast<float>(train.distance);
    }
    if (static_cast<int>(tracks.size()) < MAX_TRAINS) {
        for (int number = 0; number < MAX_TRAINS - static_cast<int>(tracks.size()); ++number)
            trainTable.trains[number].distance = trainTable.trains[number].edge->distance * 3 / 4;
    }
}

// The same 80-train step every iteration: the table is restored from a copy
// before each step (the copy alone is measured by BM_RestoreTrainTable).
void BM_StepTrains80Spread(benchmark::State& state) {
    loadLayoutA();
    spreadTrains();
    TrainTable saved = trainTable;
    SensorReport report{};
    for (auto _ : state) {
        std::memcpy(&trainTable, &saved, sizeof trainTable);
        benchmark::DoNotOptimize(stepTrains(10, report));
        benchmark::ClobberMemory();
    }
    bool crashed = false;
    for (int i = 0; i < trainTable.count; ++i)
        crashed = crashed || trainTable.trains[i].crashed;
    if (crashed)
        state.SkipWithError("a spread train crashed");
}
BENCHMARK(BM_StepTrains80Spread);

void BM_RestoreTrainTable(benchmark::State& state) {
    loadLayoutA();
    spreadTrains();
    TrainTable saved = trainTable;
    for (auto _ : state) {
        std::memcpy(&trainTable, &saved, sizeof trainTable);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_RestoreTrainTable);

// 80 trains placed on layout A's nodes and kept going for the whole run: after
// every step the controller's speed commands clear the crashes, so trains run
// through the layout, pile up at stops and collide as they would.
void BM_StepTrains80Running(benchmark::State& state) {
    loadLayoutA();
    TrackLayout& layout = activeLayout();
    for (int number = 0; number < MAX_TRAINS; ++number) {
        Train& train = *placeTrain(number, layout.nodes[number % layout.nodeCount]);
        train.speed = 1 + number % 14;
    }
    SensorReport report{};
    for (auto _ : state) {
        benchmark::DoNotOptimize(stepTrains(10, report));
        for (int i = 0; i < trainTable.count; ++i)
            trainTable.trains[i].crashed = 0;
        report.clear();
    }
}
BENCHMARK(BM_StepTrains80Running);

} // namespace
