#include "plan/PlanGraph.h"

#include "PlanTesting.h"

#include <tuple>
#include <vector>

namespace quillon::testing {
namespace {

PlanImport imported(const std::string& file) {
    PlanImport plan;
    EXPECT_TRUE(importPlan(planText(file), PlanOptions{}, plan)) << problemsOf(plan);
    return plan;
}

struct EdgeRow {
    const char* node;
    int slot;
    const char* edge; // "DEST LENGTH" or "-"
};

void expectEdges(const Track& track, const std::vector<EdgeRow>& rows) {
    for (const EdgeRow& row : rows)
        EXPECT_EQ(edgeOf(track, row.node, row.slot), row.edge) << row.node << " slot " << row.slot;
}

// Worked out cell by cell on the drawing of the plan: half a cell from a
// feedback or switch to its cell's side, two cells from a block's middle.
TEST(PlanGraphTest, OvalWithPassingLoopAndOneWayTiles) {
    PlanImport plan = imported("oval.xml");
    EXPECT_EQ(plan.track.nodeCount(), 11);
    expectEdges(plan.track,
                {
                    {"F1", EDGE_BEHIND, "F3 500"},    {"F1", EDGE_AHEAD, "B1 350"},
                    {"B1", EDGE_BEHIND, "F1 350"},    {"B1", EDGE_AHEAD, "F2 350"},
                    {"F2", EDGE_BEHIND, "B1 350"},    {"F2", EDGE_AHEAD, "-"}, // one way against it
                    {"F3", EDGE_BEHIND, "F1 500"},    {"F3", EDGE_AHEAD, "SW1 100"},
                    {"SW1", EDGE_COMMON, "F3 100"},   {"SW1", EDGE_STRAIGHT, "F4 200"},
                    {"SW1", EDGE_CURVED, "B3 550"},   {"F4", EDGE_BEHIND, "SW1 200"},
                    {"F4", EDGE_AHEAD, "B2 250"},     {"B2", EDGE_BEHIND, "F4 250"},
                    {"B2", EDGE_AHEAD, "SW2 450"},    {"SW2", EDGE_COMMON, "F6 100"},
                    {"SW2", EDGE_STRAIGHT, "B2 450"}, {"SW2", EDGE_CURVED, "F5 300"},
                    {"F5", EDGE_BEHIND, "B3 250"},    {"F5", EDGE_AHEAD, "SW2 300"},
                    {"F6", EDGE_BEHIND, "SW2 100"},   {"F6", EDGE_AHEAD, "F2 700"},
                    {"B3", EDGE_BEHIND, "-"},         {"B3", EDGE_AHEAD, "F5 250"},
                });
}

TEST(PlanGraphTest, OvalSensorsReportTheirAddressLessOneBothWays) {
    PlanImport plan = imported("oval.xml");
    for (auto [name, contact] : {std::tuple{"F1", 0}, {"F4", 3}, {"F6", 5}, {"B1", NO_CONTACT}}) {
        const Node* node = nodeNamed(plan.track, name);
        ASSERT_NE(node, nullptr) << name;
        EXPECT_EQ(node->contacts[WAY_AHEAD], contact) << name;
        EXPECT_EQ(node->contacts[WAY_BEHIND], contact) << name;
    }
}

TEST(PlanGraphTest, OvalSwitchesAreNumberedAsTheDriverAddressesThem) {
    PlanImport plan = imported("oval.xml");
    EXPECT_EQ(switchIndexForByte(plan.track, 1), findNodeNamed(plan.track, "SW1"));
    EXPECT_EQ(switchIndexForByte(plan.track, 2), findNodeNamed(plan.track, "SW2"));
}

TEST(PlanGraphTest, NodesSitAtTheMiddleOfTheirCells) {
    PlanImport plan = imported("oval.xml");
    for (auto [name, x, y] : {std::tuple{"F1", 250, 50}, {"B1", 600, 50}, {"SW2", 1150, 250}}) {
        const Node* node = nodeNamed(plan.track, name);
        ASSERT_NE(node, nullptr) << name;
        EXPECT_EQ(node->layoutX, x) << name;
        EXPECT_EQ(node->layoutY, y) << name;
    }
}

} // namespace
} // namespace quillon::testing
