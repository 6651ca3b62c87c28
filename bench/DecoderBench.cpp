// Decoding the controller's byte stream in the 24-byte chunks of the read
// step, with 80 trains on layout A so that every report request asks all 80
// sensor numbers against a full table.
#include "protocol/CommandDecoder.h"
#include "sim/World.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

using namespace quillon;

namespace {

World world;
CommandDecoder decoder;

void placeEightyTrains() {
    world = makeWorld();
    int nodes = activeTrack(world.layouts).nodeCount();
    for (int number = 0; number < MAX_TRAINS; ++number)
        placeTrain(world, number, activeNode(world.layouts, number % nodes));
    world.events.count = 0;
}

// Mixed commands: speeds and reverses for the placed trains, switch commands,
// solenoid off, go and stop, unknown commands, and a report request in about
// one command of reportEvery.
std::vector<std::uint8_t> mixedStream(std::size_t size, unsigned reportEvery) {
    std::mt19937 random(7);
    std::vector<std::uint8_t> stream;
    while (stream.size() < size) {
        unsigned kind = random() % reportEvery;
        if (kind == 0) {
            stream.push_back(133);
            continue;
        }
        switch (kind % 6) {
        case 0:
        case 1:
            stream.push_back(static_cast<std::uint8_t>(random() % 16));
            stream.push_back(static_cast<std::uint8_t>(random() % MAX_TRAINS));
            break;
        case 2:
            stream.push_back(static_cast<std::uint8_t>(33 + random() % 2));
            stream.push_back(static_cast<std::uint8_t>(1 + random() % 18));
            break;
        case 3:
            stream.push_back(32);
            break;
        case 4:
            stream.push_back(static_cast<std::uint8_t>(96 + random() % 2));
            break;
        default:
            stream.push_back(static_cast<std::uint8_t>(200 + random() % 50));
            stream.push_back(static_cast<std::uint8_t>(random()));
            break;
        }
    }
    stream.resize(size);
    return stream;
}

// Each chunk's events are counted and drained, as the application acts on
// them after every read.
void decodeStream(benchmark::State& state, const std::vector<std::uint8_t>& stream) {
    long reports = 0;
    for (auto _ : state) {
        for (std::size_t at = 0; at < stream.size(); at += 24) {
            int count = static_cast<int>(std::min<std::size_t>(24, stream.size() - at));
            benchmark::DoNotOptimize(decodeCommands(decoder, world, stream.data() + at, count));
            for (int i = 0; i < world.events.count; ++i)
                reports += world.events.events[i].kind == EventKind::ReportSent;
            world.events.count = 0;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * stream.size()));
    // Seconds per byte (shown with an SI prefix: n is nanoseconds).
    state.counters["per_byte"] =
        benchmark::Counter(static_cast<double>(state.iterations() * stream.size()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["reports"] =
        static_cast<double>(reports) / static_cast<double>(state.iterations());
}

// A long mixed stream, a report request in about one command of 16.
void BM_DecodeMixed(benchmark::State& state) {
    placeEightyTrains();
    decodeStream(state, mixedStream(240000, 16));
}
BENCHMARK(BM_DecodeMixed);

// The worst case: nothing but report requests.
void BM_DecodeReportsOnly(benchmark::State& state) {
    placeEightyTrains();
    decodeStream(state, std::vector<std::uint8_t>(2400, 133));
}
BENCHMARK(BM_DecodeReportsOnly);

} // namespace
