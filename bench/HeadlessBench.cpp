// A ten-minute scenario with ten trains moving, run in virtual time with
// its event log written: what a controller's test suite waits for.
#include "backends/headless/HeadlessRun.h"
#include "backends/headless/Scenario.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <string>

namespace {

using namespace quillon;
using namespace quillon::headless;

std::string tenTrainsForTenMinutes() {
    std::string text;
    const char* nodes[] = {"A1", "A3", "A5", "A7", "B1", "B3", "C1", "C3", "D1", "D3"};
    for (int i = 0; i < 10; ++i) {
        std::string train = std::to_string(10 + i);
        text += "place " + train + " " + nodes[i] + "\nspeed " + train + " " +
                std::to_string(5 + i % 10) + "\n";
    }
    // Trains that halt or crash are turned round and set going again.
    for (int s = 20; s < 600; s += 20)
        for (int i = 0; i < 10; ++i) {
            std::string train = std::to_string(10 + i);
            text += "at " + std::to_string(s) + "s reverse " + train + "\nat " + std::to_string(s) +
                    "s speed " + train + " " + std::to_string(5 + i % 10) + "\nat " +
                    std::to_string(s) + "s report\n";
        }
    return text + "at 600s end\n";
}

void BM_TenMinutesTenTrains(benchmark::State& state) {
    std::string text = tenTrainsForTenMinutes();
    std::FILE* sink = std::fopen("/dev/null", "w");
    for (auto _ : state) {
        World world = makeWorld();
        Scenario scenario;
        ScenarioError error;
        if (!parseScenario(text, world.layouts, LAYOUT_A, scenario, error)) {
            state.SkipWithError(error.message.c_str());
            break;
        }
        HeadlessRun run(world, &scenario, true, sink);
        while (run.now() < scenario.endMs)
            run.step(nullptr);
        benchmark::DoNotOptimize(run.observations().size());
    }
    std::fclose(sink);
}
BENCHMARK(BM_TenMinutesTenTrains)->Unit(benchmark::kMillisecond);

} // namespace
