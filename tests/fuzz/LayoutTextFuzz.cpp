// Feeds arbitrary texts to the layout text loader. A refused text leaves the
// track untouched and says where and why; a loaded one is sound, written out
// again unchanged, and then runs the program that follows the text's NUL
// (see SimulationProgram.h) as the active layout of a world.
#include "SimulationProgram.h"
#include "track/LayoutText.h"

#include <cstdlib>
#include <cstring>
#include <string>

using namespace quillon;

namespace {

bool trackSound(const Track& track) {
    for (const Node& node : track.nodes) {
        if (std::memchr(node.name, '\0', sizeof node.name) == nullptr)
            return false;
        for (const NodeEdge& edge : node.edges)
            if (edge.dest < -1 || edge.dest >= track.nodeCount())
                return false;
    }
    return track.nodeCount() >= 1 && track.nodeCount() <= MAX_TRACK_NODES;
}

bool sameNodes(const Track& a, const Track& b) {
    return a.nodeCount() == b.nodeCount() &&
           std::memcmp(a.nodes.data(), b.nodes.data(), a.nodes.size() * sizeof(Node)) == 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const World start = makeWorld();
    static World world;
    const std::uint8_t* end = static_cast<const std::uint8_t*>(std::memchr(data, 0, size));
    std::size_t textSize = end == nullptr ? size : static_cast<std::size_t>(end - data);
    std::string text(data, data + textSize);
    world = start;
    Track& loaded = world.layouts.tracks[LAYOUT_LOADED];
    std::vector<LayoutError> errors;
    if (!loadLayoutText(text.c_str(), loaded, errors)) {
        bool told = !errors.empty();
        for (const LayoutError& error : errors)
            told = told && error.line >= 1 && !error.message.empty();
        if (!told || loaded.nodeCount() != 0 || loaded.revision != 0)
            std::abort();
        return 0;
    }
    std::optional<std::string> written = formatLayoutText(loaded);
    Track again;
    std::vector<LayoutError> none;
    if (!errors.empty() || !trackSound(loaded) || !written ||
        !loadLayoutText(written->c_str(), again, none) || !sameNodes(loaded, again) ||
        formatLayoutText(again) != written)
        std::abort();
    selectLayout(world.layouts, LAYOUT_LOADED);
    std::size_t programAt = std::min(textSize + 1, size);
    long bytes = 0, steps = 0;
    if (!fuzz::runSimulationProgram(world, data + programAt, size - programAt, bytes, steps))
        std::abort();
    return 0;
}
