#include "track/BuiltinLayouts.h"

#include "support/FakeHost.h"

#include <cstring>

namespace quillon::testing {

using BuiltinLayoutsTest = WorldFixture;

// Layout B's 70 nodes leave slots 70 and 71 zero, as the export shows.
TEST_F(BuiltinLayoutsTest, BothLoadWithoutAMessageEachNodeInItsOwnSlot) {
    LoadMessages messages{};
    makeWorld(&messages);
    EXPECT_EQ(messages.count, 0);
    EXPECT_EQ(world.layouts.tracks[LAYOUT_A].nodeCount(), 72);
    EXPECT_EQ(world.layouts.tracks[LAYOUT_B].nodeCount(), 70);
    const TrackNode zero[2]{};
    EXPECT_EQ(std::memcmp(&world.layouts.tracks[LAYOUT_B].record->nodes[70], zero, sizeof zero), 0);
    for (int l : {LAYOUT_A, LAYOUT_B})
        for (int i = 0; i < usedSlots(*world.layouts.tracks[l].record); ++i)
            EXPECT_EQ(world.layouts.tracks[l].record->nodes[i].index, i) << "slot " << i;
}

TEST_F(BuiltinLayoutsTest, SensorNumbersAndSwitchSlotsLeadToTheirNodes) {
    for (int l : {LAYOUT_A, LAYOUT_B}) {
        const TrackLayout& layout = *world.layouts.tracks[l].record;
        for (int n = 0; n < SENSOR_NUMBERS; ++n) {
            EXPECT_EQ(sensorNode(layout, n).type, NODE_SENSOR) << "sensor number " << n;
            EXPECT_EQ(sensorNode(layout, n).id, n / 2) << "sensor number " << n;
        }
        for (int slot = 0; slot < SWITCH_SLOTS; ++slot) {
            const TrackNode& node = layout.nodes[layout.switchNodeIndex[slot]];
            EXPECT_EQ(node.type, NODE_SWITCH) << "switch slot " << slot;
            EXPECT_EQ(node.id, slot) << "switch slot " << slot;
        }
    }
}

// The track model reaches the same nodes as the record's tables: every
// switch byte, and both contacts of every sensor id.
TEST_F(BuiltinLayoutsTest, TheTrackAddressesWhatTheRecordAddresses) {
    for (int l : {LAYOUT_A, LAYOUT_B}) {
        const Track& track = world.layouts.tracks[l];
        const TrackLayout& layout = *track.record;
        for (int n = 0; n < 256; ++n) {
            int slot = switchSlot(n);
            int expected = isValidSwitchSlot(slot) ? layout.switchNodeIndex[slot] : NO_INDEX;
            EXPECT_EQ(switchIndexForByte(track, n), expected) << "layout " << l << " byte " << n;
        }
        for (int n = 0; n < SENSOR_NUMBERS; ++n) {
            const Node& node = track.nodes[static_cast<std::size_t>(layout.sensorNodeIndex[n])];
            EXPECT_EQ(contactOf(node, n % 2), n) << "layout " << l << " contact " << n;
        }
    }
}

} // namespace quillon::testing
