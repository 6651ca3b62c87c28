// Runs the input as a program of operations (see SimulationProgram.h) on a
// world whose active layout is a generated 4096-node one loaded from its
// text: contacts up to 495, switch numbers up to 255. The first byte picks
// one of four generated layouts. Aborts when the world becomes unsound.
#include "SimulationProgram.h"
#include "support/GeneratedLayout.h"
#include "track/LayoutText.h"

#include <cstdlib>

namespace {

quillon::World worldOnGeneratedLayout(std::uint32_t seed) {
    using namespace quillon;
    World world = makeWorld();
    std::vector<LayoutError> errors;
    std::optional<std::string> text = formatLayoutText(generateLayout(seed));
    if (!text || !loadLayoutText(text->c_str(), world.layouts.tracks[LAYOUT_LOADED], errors))
        std::abort();
    selectLayout(world.layouts, LAYOUT_LOADED);
    return world;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const quillon::World starts[4] = {worldOnGeneratedLayout(1), worldOnGeneratedLayout(2),
                                             worldOnGeneratedLayout(3), worldOnGeneratedLayout(4)};
    static quillon::World world;
    if (size < 1)
        return 0;
    world = starts[data[0] % 4];
    long bytes = 0, steps = 0;
    if (!quillon::fuzz::runSimulationProgram(world, data + 1, size - 1, bytes, steps))
        std::abort();
    return 0;
}
