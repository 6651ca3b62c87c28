#include "support/FakeHost.h"
#include "track/BuiltinLayouts.h"

#include <gtest/gtest.h>

#include <cstring>

namespace quillon {
namespace {

struct Counts {
    int sensors = 0, switches = 0, stops = 0;
};

Counts countTypes(const TrackLayout& layout) {
    Counts counts;
    for (int i = 0; i < layout.nodeCount; ++i) {
        switch (layout.nodes[i].type) {
        case NODE_SENSOR: ++counts.sensors; break;
        case NODE_SWITCH: ++counts.switches; break;
        case NODE_STOP: ++counts.stops; break;
        }
    }
    return counts;
}

class BuiltinLayoutsTest : public ::testing::Test {
protected:
    void SetUp() override { loadBuiltinLayouts(); }
    quillon::testing::HostScope scope;
};

TEST_F(BuiltinLayoutsTest, BothLayoutsLoadWithTheirCountsAndIndexTables) {
    EXPECT_TRUE(scope.host.messages.empty());
    struct Row {
        int index, nodeCount, stops;
    };
    for (Row row : {Row{LAYOUT_A, 72, 10}, Row{LAYOUT_B, 70, 8}}) {
        const TrackLayout& layout = layoutRecord(row.index);
        EXPECT_EQ(layout.nodeCount, row.nodeCount);
        Counts counts = countTypes(layout);
        EXPECT_EQ(counts.sensors, 40);
        EXPECT_EQ(counts.switches, 22);
        EXPECT_EQ(counts.stops, row.stops);
        for (int n = 0; n < SENSOR_NUMBERS; ++n) {
            const TrackNode& node = layout.nodes[layout.sensorNodeIndex[n]];
            EXPECT_EQ(node.type, NODE_SENSOR);
            EXPECT_EQ(node.id, n / 2) << "sensor number " << n;
        }
        for (int slot = 0; slot < SWITCH_SLOTS; ++slot) {
            const TrackNode& node = layout.nodes[layout.switchNodeIndex[slot]];
            EXPECT_EQ(node.type, NODE_SWITCH);
            EXPECT_EQ(node.id, slot);
        }
        for (int i = 0; i < layout.nodeCount; ++i)
            EXPECT_EQ(layout.nodes[i].index, i);
    }
    const TrackLayout& b = layoutRecord(LAYOUT_B);
    TrackNode zero{};
    EXPECT_EQ(std::memcmp(&b.nodes[70], &zero, sizeof zero), 0);
    EXPECT_EQ(std::memcmp(&b.nodes[71], &zero, sizeof zero), 0);
}

TEST_F(BuiltinLayoutsTest, SwitchSlotsLeadToTheirNodes) {
    const int expected[SWITCH_SLOTS] = {40, 41, 42, 43, 44, 45, 46, 47, 48, 49, 50,
                                        51, 52, 53, 54, 55, 56, 57, 61, 58, 59, 60};
    const int straight[SWITCH_SLOTS] = {0, 0, 0, 1, 0, 1, 1, 0, 0, 1, 0,
                                        0, 1, 0, 0, 1, 1, 0, 0, 1, 1, 0};
    for (int index : {LAYOUT_A, LAYOUT_B}) {
        TrackLayout& layout = layoutRecord(index);
        for (int slot = 0; slot < SWITCH_SLOTS; ++slot) {
            EXPECT_EQ(layout.switchNodeIndex[slot], expected[slot]);
            EXPECT_EQ(switchNode(layout, slot).direction, straight[slot]) << "slot " << slot;
        }
        EXPECT_STREQ(switchNode(layout, 18).name, "SW99");
        EXPECT_EQ(&sensorNode(layout, 11), &layout.nodes[5]);
        EXPECT_STREQ(sensorNode(layout, 11).name, "A11");
    }
}

// Layout B differs from A exactly in the entries its table changes.
TEST_F(BuiltinLayoutsTest, LayoutBChanges) {
    const TrackLayout& a = layoutRecord(LAYOUT_A);
    const TrackLayout& b = layoutRecord(LAYOUT_B);
    for (int i = 0; i < 67; ++i) {
        bool changed = i == 5 || i == 7 || i == 11 || i == 12 || i == 13 || i == 40 ||
                       (i >= 58 && i <= 61);
        EXPECT_EQ(std::memcmp(&a.nodes[i], &b.nodes[i], sizeof(TrackNode)) != 0, changed)
            << "node " << i;
    }
    EXPECT_EQ(b.nodes[5].edges[EDGE_AHEAD].distance, 265);
    EXPECT_EQ(b.nodes[5].edges[EDGE_BEHIND].dest, 7);
    EXPECT_EQ(b.nodes[5].edges[EDGE_BEHIND].distance, 7746);
    EXPECT_EQ(b.nodes[7].edges[EDGE_AHEAD].dest, 5);
    EXPECT_EQ(b.nodes[7].edges[EDGE_AHEAD].distance, 774);
    EXPECT_EQ(b.nodes[40].edges[EDGE_STRAIGHT].distance, 245);
    EXPECT_STREQ(b.nodes[67].name, "DE7");
    EXPECT_STREQ(b.nodes[69].name, "DE10");
    EXPECT_EQ(b.nodes[13].edges[EDGE_BEHIND].dest, 69);
}

TEST_F(BuiltinLayoutsTest, ViewsKeepTheParsedCoordinates) {
    TrackLayout& a = layoutRecord(LAYOUT_A);
    TrackLayout& b = layoutRecord(LAYOUT_B);
    EXPECT_EQ(&nodeView(a, a.nodes[5]), &nodeViews[5]);
    EXPECT_EQ(&nodeView(b, b.nodes[5]), &nodeViews[77]);
    EXPECT_EQ(nodeViews[5].layoutX, 40);
    EXPECT_EQ(nodeViews[5].layoutY, 225);
    EXPECT_EQ(nodeViews[77].layoutX, 60);
    EXPECT_EQ(nodeViews[77].layoutY, 200);
    EXPECT_EQ(&nodeView(b, b.nodes[67]), &nodeViews[139]);
    EXPECT_STREQ(b.nodes[67].name, "DE7");
}

TEST_F(BuiltinLayoutsTest, SelectionKeepsEachLayoutsState) {
    EXPECT_EQ(activeLayoutIndex(), 0);
    EXPECT_EQ(activeLayout().nodeCount, 72);
    switchNode(activeLayout(), 3).direction = SWITCH_DIR_CURVED;
    nodeViews[4].stuck = 1;

    selectLayout(LAYOUT_B);
    EXPECT_EQ(activeLayoutIndex(), 1);
    EXPECT_EQ(&activeLayout(), &layoutRecord(LAYOUT_B));
    EXPECT_EQ(switchNode(activeLayout(), 3).direction, SWITCH_DIR_STRAIGHT);

    selectLayout(LAYOUT_A);
    EXPECT_EQ(switchNode(activeLayout(), 3).direction, SWITCH_DIR_CURVED);
    EXPECT_EQ(nodeViews[4].stuck, 1);
}

} // namespace
} // namespace quillon
