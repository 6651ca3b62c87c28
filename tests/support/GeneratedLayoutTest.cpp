#include "support/GeneratedLayout.h"

#include <gtest/gtest.h>

#include <vector>

namespace quillon::testing {

// What the fuzzer and the benchmarks rely on: one connected layout that
// reaches every contact and every switch number.
TEST(GeneratedLayoutTest, IsConnectedAndReachesEveryContactAndSwitchNumber) {
    const Track track = generateLayout(3);
    std::vector<bool> reached(static_cast<std::size_t>(track.nodeCount()), false);
    std::vector<int> pending{0};
    reached[0] = true;
    int count = 1;
    while (!pending.empty()) {
        int at = pending.back();
        pending.pop_back();
        for (const NodeEdge& edge : track.nodes[static_cast<std::size_t>(at)].edges)
            if (edge.dest >= 0 && !reached[static_cast<std::size_t>(edge.dest)]) {
                reached[static_cast<std::size_t>(edge.dest)] = true;
                pending.push_back(edge.dest);
                ++count;
            }
    }
    EXPECT_EQ(count, GENERATED_NODES);
    std::vector<bool> reported(CONTACT_COUNT, false);
    for (const Node& node : track.nodes)
        for (int way : {WAY_AHEAD, WAY_BEHIND})
            if (contactOf(node, way) != NO_CONTACT)
                reported[static_cast<std::size_t>(contactOf(node, way))] = true;
    for (int contact = 0; contact < CONTACT_COUNT; ++contact)
        EXPECT_TRUE(reported[static_cast<std::size_t>(contact)]) << "contact " << contact;
    for (int number = 1; number <= MAX_SWITCH_NUMBER; ++number)
        EXPECT_EQ(track.nodes[static_cast<std::size_t>(switchIndexForByte(track, number))].id,
                  number)
            << "switch " << number;
}

} // namespace quillon::testing
