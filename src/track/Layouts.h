// The layouts a world holds (the two built-in ones and one loaded from a
// file) and which of them is active, with references to their nodes.
#pragma once

#include "track/Track.h"

#include <cassert>
#include <cstdint>

namespace quillon {

constexpr int LAYOUT_A = 0;
constexpr int LAYOUT_B = 1;
constexpr int LAYOUT_LOADED = 2;
constexpr int LAYOUT_COUNT = 3;

// A node of one of the layouts: which layout and which index. A layout of
// -1 names no node.
struct NodeRef {
    std::int16_t layout = -1;
    std::int16_t index = -1;

    constexpr bool isNode() const { return layout >= 0; }
    friend constexpr bool operator==(NodeRef, NodeRef) = default;
};
constexpr NodeRef NO_NODE{};
static_assert(MAX_TRACK_NODES <= INT16_MAX, "node indexes travel in 16 bits");

// Empty tracks (no nodes) until loaded; layout A is active then.
struct Layouts {
    Track tracks[LAYOUT_COUNT];
    std::int32_t active = LAYOUT_A;
};

// Makes layout A, B or the loaded one active; nothing else changes.
void selectLayout(Layouts& layouts, int index);

// The layout that everything moves, draws, hits and reports on.
inline Track& activeTrack(Layouts& layouts) {
    return layouts.tracks[layouts.active];
}
inline const Track& activeTrack(const Layouts& layouts) {
    return layouts.tracks[layouts.active];
}

// The node a reference names; the caller passes a reference to a node.
inline Node& nodeAt(Layouts& layouts, NodeRef ref) {
    assert(ref.isNode() && ref.layout < LAYOUT_COUNT && ref.index >= 0 &&
           ref.index < layouts.tracks[ref.layout].nodeCount());
    return layouts.tracks[ref.layout].nodes[static_cast<std::size_t>(ref.index)];
}
inline const Node& nodeAt(const Layouts& layouts, NodeRef ref) {
    assert(ref.isNode() && ref.layout < LAYOUT_COUNT && ref.index >= 0 &&
           ref.index < layouts.tracks[ref.layout].nodeCount());
    return layouts.tracks[ref.layout].nodes[static_cast<std::size_t>(ref.index)];
}

// The reference to a node of the active layout; index is one of its nodes.
NodeRef activeNode(const Layouts& layouts, int index);

// The node of the active layout with that index, or NO_NODE.
NodeRef activeNodeOrNone(const Layouts& layouts, std::int32_t index);

// The node of layout with that name, or NO_NODE.
NodeRef findNode(const Layouts& layouts, int layout, const char* name);

// The node of track with that name, referred to as a node of layout (the
// slot the track goes into); NO_NODE when it has none of that name.
NodeRef findNodeAs(const Track& track, int layout, const char* name);

} // namespace quillon
