// Feeds arbitrary texts to the layout parser and checks that every record it
// leaves behind is safe to use: counts, indexes and edge destinations stay
// inside the record, names stay terminated.
#include "host/NullHost.h"
#include "track/LayoutParser.h"

#include <cstdlib>
#include <string>

using namespace quillon;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static NullHost host;
    static TrackLayout layout;
    setHost(&host);
    layout = {};
    int result = parseTrackLayout(std::string(data, data + size).c_str(), layout);
    auto inRecord = [](std::int32_t index) { return index >= 0 && index < MAX_NODES; };
    bool sound = (result == 0 || result == -1) && layout.nodeCount <= MAX_NODES;
    for (const TrackNode& node : layout.nodes) {
        sound = sound && inRecord(node.index) && node.name[sizeof node.name - 1] == '\0';
        for (const NodeEdge& edge : node.edges)
            sound = sound && (edge.dest == -1 || inRecord(edge.dest));
    }
    for (std::int32_t entry : layout.sensorNodeIndex)
        sound = sound && inRecord(entry);
    for (std::int32_t entry : layout.switchNodeIndex)
        sound = sound && inRecord(entry);
    if (!sound)
        std::abort();
    return 0;
}
