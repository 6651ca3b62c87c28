// Runs the input as a program of operations on a world (see
// SimulationProgram.h) and aborts when the world becomes unsound.
#include "SimulationProgram.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const quillon::World start = quillon::makeWorld();
    static quillon::World world;
    world = start;
    long bytes = 0, steps = 0;
    if (!quillon::fuzz::runSimulationProgram(world, data, size, bytes, steps))
        std::abort();
    return 0;
}
