// Feeds arbitrary texts to the layout parser and checks that every record it
// leaves behind is safe to use: counts, indexes and edge destinations stay
// inside the record.
#include "platform/NullHost.h"
#include "track/LayoutParser.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

using namespace quillon;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static NullHost host;
    setHost(&host);
    std::vector<char> text(data, data + size);
    text.push_back('\0');
    static TrackLayout layout;
    std::memset(&layout, 0, sizeof layout);
    int result = parseTrackLayout(text.data(), layout);
    if (result != 0 && result != -1)
        std::abort();
    if (layout.nodeCount > MAX_NODES)
        std::abort();
    for (int i = 0; i < MAX_NODES; ++i) {
        const TrackNode& node = layout.nodes[i];
        if (node.index < 0 || node.index >= MAX_NODES)
            std::abort();
        for (const NodeEdge& edge : node.edges) {
            if (edge.dest < -1 || edge.dest >= MAX_NODES)
                std::abort();
        }
        if (node.name[sizeof node.name - 1] != '\0')
            std::abort();
    }
    for (std::int32_t entry : layout.sensorNodeIndex) {
        if (entry < 0 || entry >= MAX_NODES)
            std::abort();
    }
    for (std::int32_t entry : layout.switchNodeIndex) {
        if (entry < 0 || entry >= MAX_NODES)
            std::abort();
    }
    return 0;
}
