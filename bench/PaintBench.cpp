// The cost of one frame of painting and of one pointer movement, which run
// up to 100 times a second.
#include "host/NullHost.h"
#include "sim/Trains.h"
#include "track/BuiltinLayouts.h"
#include "view/LayoutPainter.h"
#include "view/LayoutScaling.h"
#include "view/Pointer.h"
#include "view/TextPainter.h"

#include <benchmark/benchmark.h>

namespace {

using namespace quillon;

struct Scene {
    Scene() {
        setHost(&host);
        loadBuiltinLayouts();
        rescaleBothLayouts(512, 320);
        TrackLayout& layout = activeLayout();
        for (int i = 0; i < 10; ++i)
            placeTrain(10 + i, layout.nodes[i * 7]);
    }
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
        drawLayout(scene().surface, &painter);
}
BENCHMARK(BM_DrawLayout);

void BM_PointerMove(benchmark::State& state) {
    scene();
    int x = 0;
    for (auto _ : state) {
        x = (x + 7) % 512;
        benchmark::DoNotOptimize(updateHoveredTrain(x, 100));
        benchmark::DoNotOptimize(updateHoveredNode(x, 100));
    }
}
BENCHMARK(BM_PointerMove);

} // namespace
