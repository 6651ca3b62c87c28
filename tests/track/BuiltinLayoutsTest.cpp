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
    EXPECT_EQ(world.layouts.records[LAYOUT_A].nodeCount, 72);
    EXPECT_EQ(world.layouts.records[LAYOUT_B].nodeCount, 70);
    const TrackNode zero[2]{};
    EXPECT_EQ(std::memcmp(&world.layouts.records[LAYOUT_B].nodes[70], zero, sizeof zero), 0);
    for (const TrackLayout& layout : world.layouts.records)
        for (int i = 0; i < usedSlots(layout); ++i)
            EXPECT_EQ(layout.nodes[i].index, i) << "slot " << i;
}

TEST_F(BuiltinLayoutsTest, SensorNumbersAndSwitchSlotsLeadToTheirNodes) {
    for (const TrackLayout& layout : world.layouts.records) {
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

} // namespace quillon::testing
