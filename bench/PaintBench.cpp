// The cost of one frame of painting and of one pointer movement, which run
// up to 100 times a second.
#include "host/NullHost.h"
#include "sim/World.h"
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
        rescaleBothLayouts(world, 512, 320);
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
    TextPainter painter(scene().host, "Terminal", 6);
    for (auto _ : state)
        drawLayout(scene().surface, &painter, scene().world);
}
BENCHMARK(BM_DrawLayout);

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
