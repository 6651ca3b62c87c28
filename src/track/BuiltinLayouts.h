// The two built-in layouts: their records, each node's display state, and
// which of them is active.
#pragma once

#include "track/LayoutParser.h"
#include "track/TrackLayout.h"

#include <cassert>
#include <cstdint>

namespace quillon {

constexpr int LAYOUT_A = 0;
constexpr int LAYOUT_B = 1;
constexpr int LAYOUT_COUNT = 2;

extern const char LAYOUT_A_TEXT[];
extern const char LAYOUT_B_TEXT[];

// A node of one of the records: which record and which slot. A layout of -1
// names no node.
struct NodeRef {
    std::int16_t layout = -1;
    std::int16_t index = -1;

    constexpr bool isNode() const { return layout >= 0; }
    friend constexpr bool operator==(NodeRef, NodeRef) = default;
};
constexpr NodeRef NO_NODE{};

// Both records with their view entries, and the active one. All zero (no
// nodes) until loaded; record A is active then.
struct Layouts {
    TrackLayout records[LAYOUT_COUNT];
    NodeView views[LAYOUT_COUNT][MAX_NODES];
    std::int32_t active; // LAYOUT_A or LAYOUT_B
};

// What loading the built-in layouts had to say: each failed parse's own
// message (where it has one) and then "Error parsing data for track A" or
// "... B", in that order.
struct LoadMessages {
    char texts[2 * LAYOUT_COUNT][MESSAGE_CAPACITY];
    int count;
};

// Parses both texts into the records, going on after a failure, fills the
// view entries of both, and makes layout A active. layouts must be all zero.
LoadMessages loadBuiltinLayouts(Layouts& layouts);

// Sets each node's view to its parsed coordinates, not hovered, not stuck.
void initNodeViews(const TrackLayout& layout, NodeView (&views)[MAX_NODES]);

// Makes record A (0) or B (1) the active layout; nothing else changes.
void selectLayout(Layouts& layouts, int index);

// The layout that everything moves, draws, hits and reports on.
TrackLayout& activeLayout(Layouts& layouts);
const TrackLayout& activeLayout(const Layouts& layouts);

// The node a reference names; the caller passes a reference to a node.
inline TrackNode& nodeAt(Layouts& layouts, NodeRef ref) {
    assert(ref.isNode() && ref.layout < LAYOUT_COUNT && ref.index >= 0 && ref.index < MAX_NODES);
    return layouts.records[ref.layout].nodes[ref.index];
}
inline const TrackNode& nodeAt(const Layouts& layouts, NodeRef ref) {
    assert(ref.isNode() && ref.layout < LAYOUT_COUNT && ref.index >= 0 && ref.index < MAX_NODES);
    return layouts.records[ref.layout].nodes[ref.index];
}

// The reference to a slot of the active layout.
NodeRef activeNode(const Layouts& layouts, int index);

// The view entry of node in record layout: the entry of its own index.
NodeView& viewOf(Layouts& layouts, int layout, const TrackNode& node);
const NodeView& viewOf(const Layouts& layouts, int layout, const TrackNode& node);

} // namespace quillon
