// The keywords of the layout text's edges: which edge slot each names for
// each node type. The record parser, the layout text and its writer share
// them, so what one writes the others read.
#pragma once

#include "track/TrackLayout.h"

#include <string_view>

namespace quillon {

// How many edge slots a node type has: its largest edge count.
inline int slotCount(std::int32_t type) {
    return type == NODE_SWITCH ? 3 : type == NODE_SENSOR ? 2 : 1;
}

// The keyword of an edge slot of a node type, or nullptr for a slot the
// type lacks.
inline const char* edgeKeyword(std::int32_t type, int slot) {
    if (type == NODE_SWITCH) {
        const char* words[3] = {"curved", "straight", "behind"};
        return slot >= 0 && slot < 3 ? words[slot] : nullptr;
    }
    if (slot == EDGE_AHEAD)
        return "ahead";
    return type == NODE_SENSOR && slot == EDGE_BEHIND ? "behind" : nullptr;
}

// The edge slot a keyword selects for a node type, or -1.
inline int edgeSlot(std::int32_t type, std::string_view keyword) {
    for (int slot = 0; slot < slotCount(type); ++slot)
        if (keyword == edgeKeyword(type, slot))
            return slot;
    return -1;
}

} // namespace quillon
