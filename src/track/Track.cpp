#include "track/Track.h"

#include <algorithm>
#include <cstring>

namespace quillon {

void ContactBits::set(int contact) {
    if (contact >= 0 && contact < CONTACT_COUNT)
        bytes[contact / 8] |= static_cast<std::uint8_t>(0x80u >> (contact % 8));
}

void ContactBits::reset(int contact) {
    if (contact >= 0 && contact < CONTACT_COUNT)
        bytes[contact / 8] &= static_cast<std::uint8_t>(~(0x80u >> (contact % 8)));
}

bool ContactBits::test(int contact) const {
    if (contact < 0 || contact >= CONTACT_COUNT)
        return false;
    return (bytes[contact / 8] & (0x80u >> (contact % 8))) != 0;
}

void ContactBits::clear() {
    std::memset(bytes, 0, sizeof bytes);
}

Track::Track() {
    std::fill(std::begin(switchByByte), std::end(switchByByte),
              static_cast<std::int16_t>(NO_INDEX));
}

void indexTrack(Track& track) {
    std::fill(std::begin(track.switchByByte), std::end(track.switchByByte),
              static_cast<std::int16_t>(NO_INDEX));
    int count = track.nodeCount();
    for (int i = 0; i < count; ++i) {
        const Node& node = track.nodes[i];
        if (node.type == NODE_SWITCH && node.id >= 0 && node.id <= MAX_SWITCH_NUMBER &&
            track.switchByByte[node.id] == NO_INDEX)
            track.switchByByte[node.id] = static_cast<std::int16_t>(i);
    }
    // Bytes 135..152 reach switches 1..18 where no switch carries the byte.
    for (int n = 135; n <= 152; ++n)
        if (track.switchByByte[n] == NO_INDEX)
            track.switchByByte[n] = track.switchByByte[n - 134];
    track.walk = walkTrack(track);
}

Track trackFromRecord(const TrackLayout& record) {
    Track track;
    int count = usedSlots(record);
    track.nodes.resize(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const TrackNode& from = record.nodes[i];
        Node& node = track.nodes[static_cast<std::size_t>(i)];
        node.type = from.type;
        node.id = from.id;
        std::copy(std::begin(from.edges), std::end(from.edges), std::begin(node.edges));
        node.direction = from.direction;
        node.x = node.layoutX = from.x;
        node.y = node.layoutY = from.y;
        std::memcpy(node.name, from.name, sizeof from.name);
        if (from.type == NODE_SWITCH && isValidSwitchSlot(from.id))
            node.id = switchNumber(from.id);
        if (from.type == NODE_SENSOR) {
            // Sensor id k reports 2k and 2k + 1, taken as a byte like every
            // sensor number of the record.
            auto first = static_cast<std::int32_t>((2u * static_cast<unsigned>(from.id)) & 0xFFu);
            node.contacts[WAY_AHEAD] = first;
            node.contacts[WAY_BEHIND] = (first + 1) & 0xFF;
        }
    }
    track.gap = CollisionGap{GapRule::WindowPixels, 10};
    track.stuck.clear();
    track.record = record;
    indexTrack(track);
    return track;
}

TrackLayout recordOf(const Track& track) {
    TrackLayout layout = track.record.value_or(TrackLayout{});
    int count = std::min(usedSlots(layout), track.nodeCount());
    for (int i = 0; i < count; ++i) {
        const Node& node = track.nodes[static_cast<std::size_t>(i)];
        layout.nodes[i].direction = node.direction;
        layout.nodes[i].x = node.x;
        layout.nodes[i].y = node.y;
    }
    return layout;
}

int findNodeNamed(const Track& track, const char* name) {
    for (int i = 0; i < track.nodeCount(); ++i)
        if (std::strcmp(track.nodes[static_cast<std::size_t>(i)].name, name) == 0)
            return i;
    return NO_INDEX;
}

bool isNodeStuck(const Track& track, const Node& node) {
    return node.type == NODE_SENSOR && (track.stuck.test(contactOf(node, WAY_AHEAD)) ||
                                        track.stuck.test(contactOf(node, WAY_BEHIND)));
}

} // namespace quillon
