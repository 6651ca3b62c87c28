#include "support/TrackFixture.h"

#include <array>
#include <cstring>
#include <tuple>

namespace quillon {
namespace {

using BuiltinLayoutsTest = testing::TrackFixture;

TEST_F(BuiltinLayoutsTest, BothLayoutsLoadWithTheirCountsAndIndexTables) {
    EXPECT_TRUE(scope.host.messages.empty());
    // Nodes, stops, and node 5's view entry with its layout coordinates.
    for (auto [index, nodes, stops, view, x, y] :
         {std::tuple{LAYOUT_A, 72, 10, 5, 40, 225}, {LAYOUT_B, 70, 8, 77, 60, 200}}) {
        const TrackLayout& layout = layoutRecord(index);
        int count[3] = {}; // of each type, among the nodes in their own slot
        for (int i = 0; i < layout.nodeCount; ++i)
            count[layout.nodes[i].type] += layout.nodes[i].index == i;
        EXPECT_EQ((std::array{layout.nodeCount, count[NODE_SENSOR], count[NODE_SWITCH],
                              count[NODE_STOP]}),
                  (std::array{nodes, 40, 22, stops}));
        for (int n = 0; n < SENSOR_NUMBERS; ++n) {
            const TrackNode& node = layout.nodes[layout.sensorNodeIndex[n]];
            EXPECT_TRUE(node.type == NODE_SENSOR && node.id == n / 2) << "sensor number " << n;
        }
        for (int slot = 0; slot < SWITCH_SLOTS; ++slot) {
            const TrackNode& node = layout.nodes[layout.switchNodeIndex[slot]];
            EXPECT_TRUE(node.type == NODE_SWITCH && node.id == slot) << "switch slot " << slot;
        }
        const NodeView& entry = nodeView(layout, layout.nodes[5]);
        EXPECT_EQ(std::tuple(&entry, entry.layoutX, entry.layoutY),
                  std::tuple(&nodeViews[view], x, y));
    }
}

// Layout B differs from A exactly in the nodes its text changes, and the
// active layout is a choice between the two records, each with its state.
TEST_F(BuiltinLayoutsTest, LayoutBChangesAndSelection) {
    const TrackLayout& a = layoutRecord(LAYOUT_A);
    const TrackLayout& b = layoutRecord(LAYOUT_B);
    for (int i = 0; i < 67; ++i) {
        bool changed = i == 5 || i == 7 || (i >= 11 && i <= 13) || i == 40 || (i >= 58 && i <= 61);
        EXPECT_EQ(std::memcmp(&a.nodes[i], &b.nodes[i], sizeof(TrackNode)) != 0, changed) << i;
    }
    EXPECT_EQ(b.nodes[5].edges[EDGE_BEHIND].distance, 7746);
    switchNode(activeLayout(), 3).direction = SWITCH_DIR_CURVED;
    selectLayout(LAYOUT_B);
    EXPECT_EQ(std::tuple(activeLayoutIndex(), switchNode(activeLayout(), 3).direction),
              std::tuple(LAYOUT_B, SWITCH_DIR_STRAIGHT));
    selectLayout(LAYOUT_A);
    EXPECT_EQ(switchNode(activeLayout(), 3).direction, SWITCH_DIR_CURVED);
}

} // namespace
} // namespace quillon
