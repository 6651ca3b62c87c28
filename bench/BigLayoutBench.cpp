// The generated 4096-node layout (contacts up to 495, switch numbers up to
// 255): loading it from its text in either form, the 10 ms movement step with 80 trains,
// report requests that ask every contact, and a frame with 10 moving trains.
#include "KeepRunning.h"
#include "host/NullHost.h"
#include "protocol/CommandDecoder.h"
#include "sim/Movement.h"
#include "sim/World.h"
#include "support/GeneratedLayout.h"
#include "track/LayoutFile.h"
#include "track/LayoutText.h"
#include "view/FrameTracker.h"
#include "view/LayoutScaling.h"
#include "view/TextPainter.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

using namespace quillon;

namespace {

constexpr int WIDTH = 1600;
constexpr int HEIGHT = 1200;

const std::string& generatedText() {
    static const std::string text = *formatLayoutText(generateLayout(1));
    return text;
}

// A world with the generated layout loaded from its text and active, scaled
// to a 1600 x 1200 window.
World worldOnGeneratedLayout() {
    World world = makeWorld();
    std::vector<LayoutError> errors;
    if (!loadLayoutText(generatedText().c_str(), world.layouts.tracks[LAYOUT_LOADED], errors))
        std::abort();
    selectLayout(world.layouts, LAYOUT_LOADED);
    rescaleLayouts(world, WIDTH, HEIGHT);
    return world;
}

void BM_BigLoadLayoutText(benchmark::State& state) {
    const std::string& text = generatedText();
    std::vector<LayoutError> errors;
    for (auto _ : state) {
        Track track;
        benchmark::DoNotOptimize(loadLayoutText(text.c_str(), track, errors));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_BigLoadLayoutText)->Unit(benchmark::kMillisecond);

// Loading it from the named form, as a user's layout file is loaded.
void BM_BigLoadNamedLayout(benchmark::State& state) {
    static const std::string text = formatNamedLayout(generateLayout(1));
    std::vector<LayoutError> errors;
    for (auto _ : state) {
        Track track;
        benchmark::DoNotOptimize(loadLayout(text, track, errors));
    }
    if (!errors.empty())
        std::abort();
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_BigLoadNamedLayout)->Unit(benchmark::kMillisecond);

// count trains spread over the layout, each on its own segment in the
// walk's order, halfway along it, at speed steps 1..14.
void spreadTrains(World& world, int count) {
    const Track& track = activeTrack(world.layouts);
    int every = static_cast<int>(track.walk.size()) / count;
    for (int number = 0; number < count; ++number) {
        const WalkEdge& edge = track.walk[static_cast<std::size_t>(number * every)];
        const Node& from = track.nodes[static_cast<std::size_t>(edge.from)];
        int slot = 0;
        while (slot < 2 && from.edges[slot].dest != edge.at)
            ++slot;
        Train& train = *placeTrain(world, number, activeNode(world.layouts, edge.from));
        train.speed = 1 + number % 14;
        train.nextNode = activeNode(world.layouts, edge.at);
        train.edge = EdgeRef{train.currentNode, slot};
        train.distance = from.edges[slot].distance / 2;
        train.exactDistance = static_cast<float>(train.distance);
    }
    updateDisplayPositions(world);
    world.events.count = 0;
}

// The same 80-train step every iteration: the table is restored before each
// step, as in the layout A benchmark.
void BM_BigStepTrains80Spread(benchmark::State& state) {
    World world = worldOnGeneratedLayout();
    spreadTrains(world, MAX_TRAINS);
    bench::stepFromSavedTable(state, world);
}
BENCHMARK(BM_BigStepTrains80Spread);

// 80 trains kept running through the layout for the whole run: crashes are
// cleared after every step, the latch and the events drained.
void BM_BigStepTrains80Running(benchmark::State& state) {
    World world = worldOnGeneratedLayout();
    spreadTrains(world, MAX_TRAINS);
    for (auto _ : state)
        benchmark::DoNotOptimize(bench::stepKeepingTrainsRunning(world));
}
BENCHMARK(BM_BigStepTrains80Running);

// A request for all 31 sensor modules with 80 trains on the layout: every
// contact 0..495 is read.
void BM_BigReportAllModules(benchmark::State& state) {
    World world = worldOnGeneratedLayout();
    spreadTrains(world, MAX_TRAINS);
    CommandDecoder decoder;
    decoder.commandSet = CommandSet::Full;
    const std::uint8_t request = CMD_MODULES + MAX_MODULES;
    for (auto _ : state) {
        benchmark::DoNotOptimize(decodeCommands(decoder, world, &request, 1));
        world.events.count = 0;
    }
}
BENCHMARK(BM_BigReportAllModules);

// One frame while 10 trains run: the step, what changed since the last
// frame, and the trains drawn over the still image in the changed parts.
void BM_BigIncrementalFrame(benchmark::State& state) {
    NullHost host;
    NullSurface surface;
    TextPainter painter(host, FontPurpose::Labels);
    World world = worldOnGeneratedLayout();
    spreadTrains(world, 10);
    FrameTracker frame;
    frame.forget(WIDTH, HEIGHT);
    frame.remember(world, &painter);
    for (auto _ : state) {
        stepTrains(world, 10);
        FrameChange change = frame.changes(world, &painter);
        for (int i = 0; i < change.count; ++i)
            frame.drawOverStill(surface, &painter, world, change.boxes[i]);
        frame.remember(world, &painter);
        world.events.count = 0;
    }
}
BENCHMARK(BM_BigIncrementalFrame);

} // namespace
