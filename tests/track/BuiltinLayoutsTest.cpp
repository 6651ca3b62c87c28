#include "support/FakeHost.h"

#include <array>

namespace quillon::testing {

using BuiltinLayoutsTest = TrackFixture;

TEST_F(BuiltinLayoutsTest, BothLayoutsLoadWithTheirCountsAndIndexTables) {
    EXPECT_TRUE(scope.host.messages.empty());
    for (auto [index, nodes, stops] : {std::tuple{LAYOUT_A, 72, 10}, {LAYOUT_B, 70, 8}}) {
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
    }
}

} // namespace quillon::testing
