// Feeds arbitrary texts to the layout parser and checks that every record it
// leaves behind is safe to use: counts, indexes and edge destinations stay
// inside the record, names stay terminated.
#include "platform/NullHost.h"
#include "track/LayoutParser.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

using namespace quillon;

namespace {

bool inRecord(std::int32_t index) {
    return index >= 0 && index < MAX_NODES;
}

bool sound(const TrackLayout& layout) {
    if (layout.nodeCount > MAX_NODES)
        return false;
    for (const TrackNode& node : layout.nodes) {
        if (!inRecord(node.index) || node.name[sizeof node.name - 1] != '\0')
            return false;
        for (const NodeEdge& edge : node.edges)
            if (edge.dest != -1 && !inRecord(edge.dest))
                return false;
    }
    for (std::int32_t entry : layout.sensorNodeIndex)
        if (!inRecord(entry))
            return false;
    for (std::int32_t entry : layout.switchNodeIndex)
        if (!inRecord(entry))
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static NullHost host;
    static TrackLayout layout;
    setHost(&host);
    std::vector<char> text(data, data + size);
    text.push_back('\0');
    std::memset(&layout, 0, sizeof layout);
    int result = parseTrackLayout(text.data(), layout);
    if ((result != 0 && result != -1) || !sound(layout))
        std::abort();
    return 0;
}
