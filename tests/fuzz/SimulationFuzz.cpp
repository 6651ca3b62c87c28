// Runs the input as a program of operations on the simulation (see
// SimulationProgram.h) and aborts when a movement step leaves a train off a
// real segment of a layout record.
#include "SimulationProgram.h"
#include "platform/NullHost.h"

#include <cstdio>
#include <cstdlib>

static long bytes = 0, steps = 0; // over the whole run, printed when the fuzzer exits

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static quillon::NullHost host;
    static quillon::NullLink link;
    [[maybe_unused]] static int registered = std::atexit([] {
        std::fprintf(stderr, "SimulationFuzz: decoded %ld bytes, %ld movement steps\n", bytes,
                     steps);
    });
    quillon::setHost(&host);
    if (!quillon::fuzz::runSimulationProgram(data, size, &link, bytes, steps))
        std::abort();
    return 0;
}
