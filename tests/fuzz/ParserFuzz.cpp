// Feeds arbitrary texts to the layout parser and checks that every record it
// leaves behind is safe to use: indexes and edge destinations stay inside the
// record, names and the message stay terminated. As the active layout of a
// world the record then gives a switch text that fits its buffer and is
// scaled and painted.
#include "SimulationProgram.h"

#include <cstdlib>
#include <string>

using namespace quillon;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static World world;
    world = World{};
    TrackLayout layout{};
    ParseResult result = parseTrackLayout(std::string(data, data + size).c_str(), layout);
    auto inRecord = [](std::int32_t index) { return index >= 0 && index < MAX_NODES; };
    bool sound = (result.status == 0 || result.status == -1) && layout.nodeCount <= MAX_NODES &&
                 std::memchr(result.message, '\0', sizeof result.message) != nullptr;
    for (const TrackNode& node : layout.nodes) {
        sound = sound && inRecord(node.index) && node.name[sizeof node.name - 1] == '\0';
        for (const NodeEdge& edge : node.edges)
            sound = sound && (edge.dest == -1 || inRecord(edge.dest));
    }
    for (std::int32_t entry : layout.sensorNodeIndex)
        sound = sound && inRecord(entry);
    for (std::int32_t entry : layout.switchNodeIndex)
        sound = sound && inRecord(entry);
    world.layouts.tracks[LAYOUT_A] = trackFromRecord(layout);
    if (!sound || !fuzz::switchTextSound(world))
        std::abort();
    rescaleLayouts(world, 512, 320);
    NullSurface surface;
    drawLayout(surface, nullptr, world);
    return 0;
}
