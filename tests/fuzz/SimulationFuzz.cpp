// Runs the input as a program of operations on the simulation (see
// SimulationProgram.h) and aborts when a movement step leaves a train off a
// real segment of a layout record.
#include "SimulationProgram.h"
#include "host/NullHost.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static quillon::NullHost host;
    static quillon::NullLink link;
    quillon::setHost(&host);
    long bytes = 0, steps = 0;
    if (!quillon::fuzz::runSimulationProgram(data, size, &link, bytes, steps))
        std::abort();
    return 0;
}
