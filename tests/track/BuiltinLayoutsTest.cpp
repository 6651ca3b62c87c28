#include "track/BuiltinLayouts.h"

#include "support/FakeHost.h"

#include <array>
#include <cstring>

namespace quillon::testing {

using BuiltinLayoutsTest = WorldFixture;

// Layout B's 70 nodes leave slots 70 and 71 zero, as the export shows.
TEST_F(BuiltinLayoutsTest, BothLoadWithoutAMessageEachWithItsNodesInTheirOwnSlots) {
    LoadMessages messages{};
    makeWorld(&messages);
    EXPECT_EQ(messages.count, 0);
    for (auto [layout, nodes, stops] : {std::array{LAYOUT_A, 72, 10}, {LAYOUT_B, 70, 8}}) {
        const TrackLayout& record = world.layouts.records[layout];
        int count[3] = {}; // of each type
        for (int i = 0; i < usedSlots(record); ++i)
            count[record.nodes[i].type] += record.nodes[i].index == i;
        EXPECT_EQ(record.nodeCount, nodes) << "layout " << layout;
        EXPECT_EQ(count[NODE_SENSOR], 40) << "layout " << layout;
        EXPECT_EQ(count[NODE_SWITCH], 22) << "layout " << layout;
        EXPECT_EQ(count[NODE_STOP], stops) << "layout " << layout;
    }
    const TrackNode zero[2]{};
    EXPECT_EQ(std::memcmp(&world.layouts.records[LAYOUT_B].nodes[70], zero, sizeof zero), 0);
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
