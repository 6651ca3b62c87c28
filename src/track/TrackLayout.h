// The layout record: a fixed 4732-byte image of one built-in track layout,
// and the lookups that lead from controller numbers to its nodes. The
// record's bytes are also the raw export file format, so its layout is
// pinned below.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

namespace quillon {

constexpr int MAX_NODES = 72;
constexpr int SENSOR_NUMBERS = 80;
constexpr int SENSOR_IDS = SENSOR_NUMBERS / 2;
constexpr int SWITCH_SLOTS = 22;

enum NodeType : std::int32_t {
    NODE_SWITCH = 0,
    NODE_SENSOR = 1,
    NODE_STOP = 2,
};

constexpr std::int32_t SWITCH_DIR_CURVED = 0;
constexpr std::int32_t SWITCH_DIR_STRAIGHT = 1;

// Edge slots by node type.
constexpr int EDGE_AHEAD = 0;    // sensor, stop
constexpr int EDGE_BEHIND = 1;   // sensor
constexpr int EDGE_CURVED = 0;   // switch
constexpr int EDGE_STRAIGHT = 1; // switch
constexpr int EDGE_COMMON = 2;   // switch: the "behind" leg shared by both branches

struct NodeEdge {
    std::int32_t dest;     // index of the node at the far end; -1 in an empty slot
    std::int32_t distance; // track length in layout units; 0 in an empty slot
};

struct TrackNode {
    std::int32_t type;  // NodeType
    std::int32_t index; // equal to the node's slot in TrackLayout::nodes
    char name[8];       // at most 4 characters, NUL-terminated, zero after the NUL
    std::int32_t id;    // sensor id 0..39, switch slot 0..21, or a stop's number
    NodeEdge edges[3];
    std::int32_t direction; // switch: SWITCH_DIR_STRAIGHT or SWITCH_DIR_CURVED; otherwise 0
    std::int32_t reserved;
    std::int32_t x; // layout units after parsing, window pixels after scaling
    std::int32_t y;
};

struct TrackLayout {
    std::int32_t nodeCount;
    TrackNode nodes[MAX_NODES];
    std::int32_t sensorNodeIndex[SENSOR_NUMBERS];
    std::int32_t switchNodeIndex[SWITCH_SLOTS];
};

static_assert(std::endian::native == std::endian::little,
              "the record's byte image is little-endian");
static_assert(sizeof(NodeEdge) == 8);
static_assert(offsetof(NodeEdge, distance) == 4);
static_assert(sizeof(TrackNode) == 60);
static_assert(offsetof(TrackNode, index) == 4);
static_assert(offsetof(TrackNode, name) == 8);
static_assert(offsetof(TrackNode, id) == 16);
static_assert(offsetof(TrackNode, edges) == 20);
static_assert(offsetof(TrackNode, direction) == 44);
static_assert(offsetof(TrackNode, reserved) == 48);
static_assert(offsetof(TrackNode, x) == 52);
static_assert(offsetof(TrackNode, y) == 56);
static_assert(sizeof(TrackLayout) == 4732);
static_assert(offsetof(TrackLayout, nodes) == 4);
static_assert(offsetof(TrackLayout, sensorNodeIndex) == 4324);
static_assert(offsetof(TrackLayout, switchNodeIndex) == 4644);

// The slot of controller switch number n: n - 1 for 1..18, otherwise n - 135
// (so 153..156 give 18..21). A result outside 0..21 names no switch. Defined
// for every int: the subtraction wraps instead of overflowing.
int switchSlot(int number);

// The controller number of switch slot 0..21: the inverse of switchSlot.
constexpr int switchNumber(int slot) {
    return slot < 18 ? slot + 1 : slot + 135;
}

// True when slot names one of the record's switch slots.
constexpr bool isValidSwitchSlot(int slot) {
    return slot >= 0 && slot < SWITCH_SLOTS;
}

// True when n is a switch's own controller number, 1..18 or 153..156: the
// number of a slot. (135..152 reach slots 0..17 too, but no switch is
// called by them.)
bool isSwitchNumber(int n);

// Lookups by controller number. The caller passes sensor numbers 0..79 and
// switch slots 0..21; the returned references point into the record.
TrackNode& sensorNode(TrackLayout& layout, std::uint8_t sensorNumber);
TrackNode& switchNode(TrackLayout& layout, std::uint8_t slot);
const TrackNode& sensorNode(const TrackLayout& layout, std::uint8_t sensorNumber);

// How many of the record's slots hold nodes: the node count held to 0..72.
constexpr int usedSlots(const TrackLayout& layout) {
    return layout.nodeCount < 0 ? 0 : layout.nodeCount > MAX_NODES ? MAX_NODES : layout.nodeCount;
}

} // namespace quillon
