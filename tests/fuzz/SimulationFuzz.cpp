// Runs the input as a program of operations on the simulation (see
// SimulationProgram.h) and aborts when a movement step leaves a train off a
// real segment of a layout record.
#include "SimulationProgram.h"
#include "platform/NullHost.h"

#include <cstdio>
#include <cstdlib>

namespace {

// Totals over the whole run, printed when the fuzzer exits.
long decodedBytes = 0, movementSteps = 0;

void printTotals() {
    std::fprintf(stderr, "SimulationFuzz: decoded %ld bytes, %ld movement steps\n", decodedBytes,
                 movementSteps);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static quillon::NullHost host;
    static quillon::NullLink link;
    static bool registered = std::atexit(printTotals) == 0;
    (void)registered;
    quillon::setHost(&host);
    if (!quillon::fuzz::runSimulationProgram({data, size}, &link, decodedBytes, movementSteps))
        std::abort();
    quillon::setHost(nullptr);
    return 0;
}
