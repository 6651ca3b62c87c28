// The cost of one frame of painting and of one pointer movement, which run
// up to 100 times a second.
#include "host/NullHost.h"
#include "sim/Movement.h"
#include "sim/World.h"
#include "view/FrameTracker.h"
#include "view/LayoutPainter.h"
#include "view/LayoutScaling.h"
#include "view/Pointer.h"
#include "view/TextPainter.h"

#include <benchmark/benchmark.h>

namespace {

using namespace quillon;

// Layout A at the starting window size with 10 trains.
struct Scene {
    Scene() : world(makeWorld()) {
        rescaleLayouts(world, 512, 320);
        for (int i = 0; i < 10; ++i)
            placeTrain(world, 10 + i, activeNode(world.layouts, i * 7));
    }
    World world;
    NullHost host;
    NullSurface surface;
};

Scene& scene() {
    static Scene shared;
    return shared;
}

void BM_DrawLayout(benchmark::State& state) {
    TextPainter painter(scene().host, FontPurpose::Labels);
    for (auto _ : state)
        drawLayout(scene().surface, &painter, scene().world);
}
BENCHMARK(BM_DrawLayout);

// One frame while trains run: what changed since the last frame, and the
// trains drawn over the still image in the changed parts.
void BM_IncrementalFrame(benchmark::State& state) {
    TextPainter painter(scene().host, FontPurpose::Labels);
    World world = scene().world;
    for (int i = 0; i < world.trains.count; ++i)
        setTrainSpeed(world, world.trains.trains[i], 8, false);
    FrameTracker frame;
    frame.forget(512, 320);
    frame.remember(world, &painter);
    for (auto _ : state) {
        stepTrains(world, 10);
        FrameChange change = frame.changes(world, &painter);
        for (int i = 0; i < change.count; ++i)
            frame.drawOverStill(scene().surface, &painter, world, change.boxes[i]);
        frame.remember(world, &painter);
    }
}
BENCHMARK(BM_IncrementalFrame);

void BM_PointerMove(benchmark::State& state) {
    World& world = scene().world;
    int x = 0;
    for (auto _ : state) {
        x = (x + 7) % 512;
        benchmark::DoNotOptimize(updateHoveredTrain(world, x, 100));
        benchmark::DoNotOptimize(updateHoveredNode(world, x, 100));
    }
}
BENCHMARK(BM_PointerMove);

} // namespace
