#include "plan/PlanImport.h"

#include "PlanTesting.h"
#include "sim/Movement.h"
#include "sim/World.h"

#include <cmath>
#include <tuple>
#include <vector>

namespace quillon::testing {
namespace {

PlanImport imported(const std::string& text, PlanOptions options = {}) {
    PlanImport plan;
    EXPECT_TRUE(importPlan(text, options, plan)) << problemsOf(plan);
    return plan;
}

// ICE entered block B1 by its "-" side and so leaves by "+", its behind
// side; V100 entered B3 by "+" and leaves ahead. BR01 stands nowhere.
TEST(PlanImportTest, PlacesLocosInTheirBlocksFacingTheWayTheyLeave) {
    PlanImport plan = imported(planText("oval.xml"));
    ASSERT_EQ(plan.placements.size(), 2u);
    EXPECT_EQ(
        std::tie(plan.placements[0].train, plan.placements[0].node, plan.placements[0].behind),
        std::tuple(3, std::string("B1"), true));
    EXPECT_EQ(
        std::tie(plan.placements[1].train, plan.placements[1].node, plan.placements[1].behind),
        std::tuple(5, std::string("B3"), false));
}

TEST(PlanImportTest, SaysWhetherLocosUseLights) {
    EXPECT_TRUE(imported(planText("oval.xml")).usesLights);
    EXPECT_FALSE(imported(planText("levels.xml")).usesLights);
}

TEST(PlanImportTest, LocosThatCannotBePlacedAreWarnedOf) {
    for (auto [loco, problem] : {
             std::tuple{"<lc id=\"L\" addr=\"4\" blockid=\"X\"/>",
                        "plan:8: tile L: warning: stands in block 'X', which the plan lacks: not "
                        "placed"},
             {"<lc id=\"L\" addr=\"300\" blockid=\"B\"/>",
              "plan:8: tile L: warning: address 300 is beyond the trains 1..255: not placed"},
         }) {
        PlanImport plan = imported(planOf("<tklist>\n<tk id=\"a\" type=\"buffer\" x=\"0\" y=\"0\" "
                                          "ori=\"east\"/>\n<tk id=\"b\" type=\"buffer\" x=\"5\" "
                                          "y=\"0\" ori=\"west\"/>\n</tklist>\n<bklist><bk id=\"B\" "
                                          "x=\"1\" y=\"0\"/></bklist>\n<lclist>\n" +
                                          std::string(loco) + "\n</lclist>\n"));
        EXPECT_TRUE(plan.placements.empty()) << loco;
        EXPECT_NE(problemsOf(plan).find(problem), std::string::npos) << problemsOf(plan);
    }
}

TEST(PlanImportTest, CellLengthScalesEveryEdge) {
    PlanImport plan = imported(planText("oval.xml"), PlanOptions{200});
    EXPECT_EQ(edgeOf(plan.track, "F1", EDGE_BEHIND), "F3 1000");
}

TEST(PlanImportTest, RefusesACellLengthOutOfRange) {
    PlanImport plan;
    EXPECT_FALSE(importPlan(planText("oval.xml"), PlanOptions{3}, plan));
    EXPECT_EQ(problemsOf(plan), "plan: cell length 3 is outside 4..10000\n");
}

TEST(PlanImportTest, DescribesProblemsWithFileLineAndTile) {
    for (auto [problem, text] : {
             std::tuple{PlanProblem{7, "S", "what", false}, "p.xml:7: tile S: what"},
             {PlanProblem{7, "S", "what", true}, "p.xml:7: tile S: warning: what"},
             {PlanProblem{3, "", "what", false}, "p.xml:3: what"},
             {PlanProblem{0, "", "what", false}, "p.xml: what"},
         })
        EXPECT_EQ(describePlanProblem("p.xml", problem), text);
}

// V100 set off from B3 at step 14 (4.27 units a 10 ms step) runs out of the
// loop onto the main line and round the oval; each feedback latches as the
// train reaches it. Each edge, as many cells of 100 units long as lie
// between its nodes, takes whole steps: the train starts every edge afresh.
TEST(PlanImportTest, PlacedTrainLatchesTheFeedbacksInOrderOnTime) {
    PlanImport plan = imported(planText("oval.xml"));
    World world = makeWorld();
    world.layouts.tracks[LAYOUT_LOADED] = plan.track;
    selectLayout(world.layouts, LAYOUT_LOADED);
    const PlanPlacement& v100 = plan.placements[1];
    NodeRef block{LAYOUT_LOADED,
                  static_cast<std::int16_t>(findNodeNamed(plan.track, v100.node.c_str()))};
    Train* train = placeTrain(world, v100.train, block, v100.behind);
    ASSERT_NE(train, nullptr);
    train->speed = 14;
    std::vector<std::tuple<int, int>> latched; // contact, ms
    for (int ms = 10; ms <= 7000 && !train->crashed; ms += 10) {
        stepTrains(world, 10);
        for (int contact = 0; contact < 8; ++contact)
            if (world.latched.test(contact))
                latched.emplace_back(contact, ms);
        world.latched.clear();
    }
    const double perStep = VELOCITY[14] * 0.7 * 0.01;
    // Each feedback and the edges run since the one before: B3-F5; F5-SW2,
    // SW2-F6; F6-F2; F2-B1, B1-F1; F1-F3; F3-SW1, SW1-F4.
    const std::tuple<int, std::vector<int>> expected[] = {
        {4, {250}}, {5, {300, 100}}, {1, {700}}, {0, {350, 350}}, {2, {500}}, {3, {100, 200}}};
    ASSERT_GE(latched.size(), std::size(expected));
    int ms = 0;
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        const auto& [contact, edges] = expected[i];
        for (int length : edges)
            ms += 10 * static_cast<int>(std::ceil(length / perStep));
        EXPECT_EQ(std::get<0>(latched[i]), contact) << "latch " << i;
        EXPECT_NEAR(std::get<1>(latched[i]), ms, 10) << "latch " << i;
    }
}

} // namespace
} // namespace quillon::testing
