// The track model every layout runs on: the built-in layouts and the layouts
// users load. A Track is sized when it is built and never grows afterwards,
// so the 10 ms paths (movement, decoding, painting) never allocate. It is a
// value: copying it copies the whole layout.
#pragma once

#include "track/TrackLayout.h"
#include "track/TrackWalk.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace quillon {

// Capacities of a loaded layout.
constexpr int MAX_TRACK_NODES = 4096;
constexpr int CONTACT_COUNT = 496; // 31 sensor modules of 16 contacts
constexpr int MAX_SWITCH_NUMBER = 255;
constexpr int NODE_NAME_CAPACITY = 32; // the longest name and its NUL
constexpr std::int32_t NO_CONTACT = -1;
constexpr std::int32_t NO_INDEX = -1;

// The two ways of passing a sensor: leaving it by its ahead edge, or by its
// behind edge.
constexpr int WAY_AHEAD = 0;
constexpr int WAY_BEHIND = 1;

// How close two trains on one segment may come before they collide.
enum class GapRule : std::uint8_t {
    WindowPixels, // a gap that truncates to `size` window pixels or less
    LayoutUnits,  // a gap of `size` layout units or less
};
struct CollisionGap {
    GapRule rule = GapRule::WindowPixels;
    std::int32_t size = 10;
};

struct Node {
    std::int32_t type = NODE_STOP; // NodeType
    // Sensor: k when it reports 2k and 2k + 1, however its text states
    // them, otherwise -1; switch: its controller number 1..255; stop: the
    // number its text gives.
    std::int32_t id = 0;
    NodeEdge edges[3] = {{-1, 0}, {-1, 0}, {-1, 0}};
    std::int32_t direction = 0; // switch: SWITCH_DIR_STRAIGHT or SWITCH_DIR_CURVED
    std::int32_t x = 0;         // window pixels once scaled
    std::int32_t y = 0;
    std::int32_t layoutX = 0; // layout units, as given
    std::int32_t layoutY = 0;
    // Sensor: the contact reported by a train leaving by the ahead edge
    // (WAY_AHEAD) and by the behind edge (WAY_BEHIND); NO_CONTACT for none.
    std::int32_t contacts[2] = {NO_CONTACT, NO_CONTACT};
    char name[NODE_NAME_CAPACITY] = {}; // NUL-terminated
};

// Contact bits in the controller's report order: contact n in byte n / 8
// under the mask 0x80 >> (n % 8).
struct ContactBits {
    std::uint8_t bytes[CONTACT_COUNT / 8];

    // A contact outside 0..495 is never set and setting it changes nothing.
    void set(int contact);
    void reset(int contact);
    bool test(int contact) const;
    void clear();
};
static_assert(sizeof(ContactBits) == 62);

struct Track {
    // An empty track: no nodes, no switch byte leads anywhere.
    Track();

    std::vector<Node> nodes; // node i has index i; edges name nodes by index
    // The node that controller switch byte n addresses, or NO_INDEX.
    std::int16_t switchByByte[256];
    std::vector<WalkEdge> walk; // every edge once, in the order it is drawn
    CollisionGap gap;
    ContactBits stuck{}; // contacts that read as triggered until unstuck
    // Changes with anything the still picture shows: switch directions,
    // stuck contacts, window positions. Painting compares it.
    std::uint32_t revision = 0;
    // The built-ins' record as parsed (switch ids as slots); the raw export
    // writes it with the directions and window positions of now.
    std::optional<TrackLayout> record;

    int nodeCount() const { return static_cast<int>(nodes.size()); }
};

// Rebuilds the switch and walk tables from the nodes. A switch byte n
// addresses the switch numbered n; where no switch has that number, bytes
// 135..152 address switches 1..18. Allocates; call it when a track is
// built, never in a step.
void indexTrack(Track& track);

// A track holding the parsed record of a built-in layout: its nodes with
// sensor id k reporting 2k ahead and 2k + 1 behind, switches numbered as the
// controller addresses their slots, the window-pixel collision gap.
Track trackFromRecord(const TrackLayout& record);

// The record of a track built from one, with the directions and window
// positions the track has now.
TrackLayout recordOf(const Track& track);

// The contact that passing the sensor node the given way reports, or
// NO_CONTACT (also for a node that is no sensor).
inline std::int32_t contactOf(const Node& node, int way) {
    if (node.type != NODE_SENSOR || way < 0 || way > 1)
        return NO_CONTACT;
    return node.contacts[way];
}

// The index of the node addressed by controller switch byte n, or NO_INDEX.
inline int switchIndexForByte(const Track& track, int n) {
    return n < 0 || n > 255 ? NO_INDEX : track.switchByByte[n];
}

// The index of the first node named name, or NO_INDEX.
int findNodeNamed(const Track& track, const char* name);

// True when a sensor node shows as stuck: one of its contacts is.
bool isNodeStuck(const Track& track, const Node& node);

} // namespace quillon
