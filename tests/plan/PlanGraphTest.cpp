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
    expectEdges(plan.track, {
                                {"F1", EDGE_BEHIND, "F3 500"},
                                {"F1", EDGE_AHEAD, "B1 350"},
                                {"B1", EDGE_BEHIND, "F1 350"},
                                {"B1", EDGE_AHEAD, "F2 350"},
                                {"F2", EDGE_BEHIND, "B1 350"},
                                {"F2", EDGE_AHEAD, "F6 700"}, // through a one-way tile
                                {"F3", EDGE_BEHIND, "F1 500"},
                                {"F3", EDGE_AHEAD, "SW1 100"},
                                {"SW1", EDGE_COMMON, "F3 100"},
                                {"SW1", EDGE_STRAIGHT, "F4 200"},
                                {"SW1", EDGE_CURVED, "B3 550"},
                                {"F4", EDGE_BEHIND, "SW1 200"},
                                {"F4", EDGE_AHEAD, "B2 250"},
                                {"B2", EDGE_BEHIND, "F4 250"},
                                {"B2", EDGE_AHEAD, "SW2 450"},
                                {"SW2", EDGE_COMMON, "F6 100"},
                                {"SW2", EDGE_STRAIGHT, "B2 450"},
                                {"SW2", EDGE_CURVED, "F5 300"},
                                {"F5", EDGE_BEHIND, "B3 250"},
                                {"F5", EDGE_AHEAD, "SW2 300"},
                                {"F6", EDGE_BEHIND, "SW2 100"},
                                {"F6", EDGE_AHEAD, "F2 700"},
                                {"B3", EDGE_BEHIND, "SW1 550"},
                                {"B3", EDGE_AHEAD, "F5 250"},
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

TEST(PlanGraphTest, NodesSitAtTheMiddleOfTheirCells) {
    PlanImport plan = imported("oval.xml");
    for (auto [name, x, y] : {std::tuple{"F1", 250, 50}, {"B1", 600, 50}, {"SW2", 1150, 250}}) {
        const Node* node = nodeNamed(plan.track, name);
        ASSERT_NE(node, nullptr) << name;
        EXPECT_EQ(node->layoutX, x) << name;
        EXPECT_EQ(node->layoutY, y) << name;
    }
}

struct SwitchRow {
    const char* node;
    int number;
    const char* common; // "DEST LENGTH"
    const char* straight;
    const char* curved;
};

// Each switch of switches.xml has a buffer on each of its track ends, named
// after the side of the switch (and the cell of a two-cell tile) it is on.
// A three-way switch is the first motor's switch (common leg, left) and the
// second's (straight, right); a double slip is one switch per motor, joined
// by their common legs, each sending trains to the two ends its motor
// chooses between.
TEST(PlanGraphTest, EverySwitchTypeInEveryOrientation) {
    PlanImport plan = imported("switches.xml");
    const SwitchRow rows[] = {
        {"RW", 1, "RWw 100", "RWe 100", "RWs 100"},
        {"RN", 2, "RNs 100", "RNn 100", "RNe 100"},
        {"RE", 3, "REe 100", "REw 100", "REn 100"},
        {"RS", 4, "RSn 100", "RSs 100", "RSw 100"},
        {"LW", 5, "LWe 100", "LWw 100", "LWs 100"},
        {"LN", 6, "LNn 100", "LNs 100", "LNe 100"},
        {"LE", 7, "LEw 100", "LEe 100", "LEn 100"},
        {"LS", 8, "LSs 100", "LSn 100", "LSw 100"},
        {"TYW", 9, "TYWe 100", "TYWn 100", "TYWs 100"},
        {"TYN", 10, "TYNn 100", "TYNw 100", "TYNe 100"},
        {"TYE", 11, "TYEw 100", "TYEs 100", "TYEn 100"},
        {"TYS", 12, "TYSs 100", "TYSe 100", "TYSw 100"},
        {"TW", 13, "TWe 100", "TW~2 25", "TWs 100"},
        {"TW~2", 14, "TW 25", "TWw 75", "TWn 100"},
        {"TN", 15, "TNn 100", "TN~2 25", "TNe 100"},
        {"TN~2", 16, "TN 25", "TNs 75", "TNw 100"},
        {"TE", 17, "TEw 100", "TE~2 25", "TEn 100"},
        {"TE~2", 18, "TE 25", "TEe 75", "TEs 100"},
        {"TS", 19, "TSs 100", "TS~2 25", "TSw 100"},
        {"TS~2", 20, "TS 25", "TSn 75", "TSe 100"},
        {"DLW", 21, "DLW~2 100", "DLWw0 100", "DLWs0 100"},
        {"DLW~2", 22, "DLW 100", "DLWe1 100", "DLWn1 100"},
        {"DLN", 23, "DLN~2 100", "DLNs1 100", "DLNe1 100"},
        {"DLN~2", 24, "DLN 100", "DLNn0 100", "DLNw0 100"},
        {"DLE", 25, "DLE~2 100", "DLEe1 100", "DLEn1 100"},
        {"DLE~2", 26, "DLE 100", "DLEw0 100", "DLEs0 100"},
        {"DLS", 27, "DLS~2 100", "DLSn0 100", "DLSw0 100"},
        {"DLS~2", 28, "DLS 100", "DLSs1 100", "DLSe1 100"},
        {"DRW", 29, "DRW~2 100", "DRWe1 100", "DRWs1 100"},
        {"DRW~2", 30, "DRW 100", "DRWw0 100", "DRWn0 100"},
        {"DRN", 31, "DRN~2 100", "DRNn0 100", "DRNe0 100"},
        {"DRN~2", 32, "DRN 100", "DRNs1 100", "DRNw1 100"},
        {"DRE", 33, "DRE~2 100", "DREw0 100", "DREn0 100"},
        {"DRE~2", 34, "DRE 100", "DREe1 100", "DREs1 100"},
        {"DRS", 35, "DRS~2 100", "DRSs1 100", "DRSw1 100"},
        {"DRS~2", 36, "DRS 100", "DRSn0 100", "DRSe0 100"},
        {"HIGH", 255, "HIGHw 100", "HIGHe 100", "HIGHs 100"},
    };
    for (const SwitchRow& row : rows) {
        const Node* node = nodeNamed(plan.track, row.node);
        ASSERT_NE(node, nullptr) << row.node;
        EXPECT_EQ(node->id, row.number) << row.node;
        EXPECT_EQ(switchIndexForByte(plan.track, row.number), findNodeNamed(plan.track, row.node))
            << row.node;
        expectEdges(plan.track, {{row.node, EDGE_COMMON, row.common},
                                 {row.node, EDGE_STRAIGHT, row.straight},
                                 {row.node, EDGE_CURVED, row.curved}});
    }
}

// Crossings are no nodes: the buffers on their ends lead to each other.
TEST(PlanGraphTest, CrossingsJoinOppositeEnds) {
    PlanImport plan = imported("switches.xml");
    std::vector<EdgeRow> rows;
    for (auto [from, to] : std::vector<std::tuple<const char*, const char*>>{
             {"XLWw0", "XLWe1 300"}, {"XLWs0", "XLWn1 325"}, {"XLNn0", "XLNs1 300"},
             {"XLNw0", "XLNe1 325"}, {"XLEw0", "XLEe1 300"}, {"XLEs0", "XLEn1 325"},
             {"XLSn0", "XLSs1 300"}, {"XLSw0", "XLSe1 325"}, {"XRWw0", "XRWe1 300"},
             {"XRWn0", "XRWs1 325"}, {"XRNn0", "XRNs1 300"}, {"XRNe0", "XRNw1 325"},
             {"XREw0", "XREe1 300"}, {"XREn0", "XREs1 325"}, {"XRSn0", "XRSs1 300"},
             {"XRSe0", "XRSw1 325"}, {"XQw", "XQe 200"},     {"XQn", "XQs 200"},
             {"CWw0", "CWe1 300"},   {"CWs0", "CWn1 325"},   {"CWn0", "CWs1 325"},
             {"CNn0", "CNs1 300"},   {"CNw0", "CNe1 325"},   {"CNe0", "CNw1 325"}})
        rows.push_back({from, EDGE_AHEAD, to});
    expectEdges(plan.track, rows);
}

// Connectors pair along their line on one level, or by their number (10 and
// above) anywhere; each connector counts one cell.
TEST(PlanGraphTest, TwoLevelsJoinedByConnectors) {
    PlanImport plan = imported("levels.xml");
    EXPECT_EQ(plan.track.nodeCount(), 4);
    expectEdges(plan.track, {{"E0", EDGE_AHEAD, "G1 100"},
                             {"G1", EDGE_BEHIND, "E0 100"},
                             {"G1", EDGE_AHEAD, "G2 700"},
                             {"G2", EDGE_BEHIND, "G1 700"},
                             {"G2", EDGE_AHEAD, "E1 400"},
                             {"E1", EDGE_AHEAD, "G2 400"}});
}

// The second level starts one empty cell right of the first's widest cell.
TEST(PlanGraphTest, LevelsLieSideBySide) {
    PlanImport plan = imported("levels.xml");
    const Node* node = nodeNamed(plan.track, "G2");
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->layoutX, 1450);
    EXPECT_EQ(node->layoutY, 450);
}

struct ProblemRow {
    const char* lists; // the plan's lists; the first list opens on line 2
    bool imports;
    const char* problem; // as described for a plan file named "plan"
};

// A buffer closing the track west of cell (1, 0) and one east of it.
#define ENDS                                                                                       \
    "<tklist>\n<tk id=\"a\" type=\"buffer\" x=\"0\" y=\"0\" ori=\"east\"/>\n"                      \
    "<tk id=\"b\" type=\"buffer\" x=\"2\" y=\"0\" ori=\"west\"/>\n</tklist>\n"

TEST(PlanGraphTest, SaysWhatItCannotImportAtTheTilesLine) {
    const ProblemRow rows[] = {
        {ENDS "<fblist>\n<fb id=\"F\" addr=\"3\" x=\"1\" y=\"0\" ori=\"west\"/>\n</fblist>\n", true,
         nullptr},
        {ENDS "<tklist>\n<tk id=\"q\" type=\"spiral\" x=\"1\" y=\"0\"/>\n</tklist>\n", false,
         "plan:7: tile q: unknown track type 'spiral'"},
        {ENDS "<swlist>\n<sw id=\"q\" type=\"turntable\" x=\"1\" y=\"0\"/>\n</swlist>\n", false,
         "plan:7: tile q: unknown switch type 'turntable'"},
        {ENDS "<swlist>\n<sw id=\"q\" swtype=\"raster\" x=\"1\" y=\"0\"/>\n</swlist>\n", false,
         "plan:7: tile q: a switch drawn with the raster symbols (swtype=\"raster\") is not "
         "imported"},
        {ENDS "<fblist>\n<fb id=\"F\" addr=\"497\" x=\"1\" y=\"0\"/>\n</fblist>\n", false,
         "plan:7: tile F: sensor address 497 is beyond 1..496"},
        {ENDS "<fblist>\n<fb id=\"F\" x=\"1\" y=\"0\"/>\n</fblist>\n", true,
         "plan:7: tile F: warning: feedback without an address: imported without a contact"},
        {ENDS "<fblist>\n<fb id=\"F\" addr=\"1\" x=\"2\" y=\"0\"/>\n</fblist>\n", false,
         "plan:7: tile F: shares cell (2, 0) of level 0 with tile b"},
        {"<fblist>\n<fb id=\"F\" addr=\"1\" x=\"1\" y=\"0\"/>\n</fblist>\n", false,
         "plan:3: tile F: open end: the track leaving by its west side meets no track"},
        {ENDS "<fblist>\n<fb id=\"F\" addr=\"1\" x=\"1\" y=\"0\" ori=\"north\"/>\n</fblist>\n",
         false,
         "plan:3: tile a: open end: the track leaving by its east side meets tile F, "
         "which has no track there"},
        {"<tklist>\n<tk id=\"a\" type=\"buffer\" x=\"0\" y=\"0\" ori=\"east\"/>\n"
         "<tk id=\"c\" type=\"connector\" x=\"1\" y=\"0\" ori=\"west\"/>\n</tklist>\n",
         false, "plan:4: tile c: connector without a counterpart"},
        {"<tklist>\n<tk id=\"a\" type=\"buffer\" x=\"0\" y=\"0\" ori=\"east\"/>\n"
         "<tk id=\"b\" type=\"buffer\" x=\"2\" y=\"0\" ori=\"west\"/>\n</tklist>\n"
         "<swlist>\n<sw id=\"S\" type=\"right\" addr1=\"64\" port1=\"4\" x=\"1\" y=\"0\"/>\n"
         "</swlist>\n",
         false, "plan:7: tile S: switch number 256 (address 64, port 4) is beyond 1..255"},
        {"<tklist>\n<tk id=\"a\" type=\"buffer\" x=\"0\" y=\"0\" ori=\"east\"/>\n"
         "<tk id=\"b\" type=\"buffer\" x=\"2\" y=\"0\" ori=\"west\"/>\n</tklist>\n"
         "<swlist>\n<sw id=\"S\" type=\"right\" addr1=\"0\" port1=\"3\" x=\"1\" y=\"0\"/>\n"
         "</swlist>\n",
         true,
         "plan:7: tile S: warning: switch has no address the controller reaches (addr1 "
         "0): imported fixed straight"},
        {"<tklist>\n<tk id=\"F\" type=\"buffer\" x=\"0\" y=\"0\" ori=\"east\"/>\n"
         "<tk id=\"F\" type=\"buffer\" x=\"1\" y=\"0\" ori=\"west\"/>\n</tklist>\n",
         true,
         "plan:4: tile F: warning: the id gives the node name 'F' that another node has: "
         "named 'F~2'"},
        {"<tklist>\n<tk id=\"a\" type=\"straight\" x=\"0\" y=\"0\"/>\n</tklist>\n", false,
         "plan: the plan has no feedback, block, switch or buffer"},
    };
    for (const ProblemRow& row : rows) {
        PlanImport plan;
        EXPECT_EQ(importPlan(planOf(row.lists), PlanOptions{}, plan), row.imports) << row.lists;
        if (row.problem == nullptr)
            continue;
        EXPECT_NE(problemsOf(plan).find(std::string(row.problem) + "\n"), std::string::npos)
            << problemsOf(plan);
    }
}

TEST(PlanGraphTest, DoubleCurveCarriesTwoTracks) {
    PlanImport plan;
    ASSERT_TRUE(
        importPlan(planOf("<tklist><tk id=\"x\" type=\"dcurve\" x=\"1\" y=\"1\" ori=\"west\"/>"
                          "<tk id=\"a\" type=\"buffer\" x=\"0\" y=\"1\" ori=\"east\"/>"
                          "<tk id=\"b\" type=\"buffer\" x=\"1\" y=\"2\" ori=\"south\"/>"
                          "<tk id=\"c\" type=\"buffer\" x=\"2\" y=\"1\" ori=\"west\"/>"
                          "<tk id=\"d\" type=\"buffer\" x=\"1\" y=\"0\" ori=\"north\"/></tklist>"),
                   PlanOptions{}, plan))
        << problemsOf(plan);
    expectEdges(plan.track, {{"a", EDGE_AHEAD, "b 200"}, {"c", EDGE_AHEAD, "d 200"}});
}

// A train arriving at a node by one of two tracks from the same node would
// turn back there: a node without contacts on one track tells them apart.
TEST(PlanGraphTest, TwoTracksBetweenTwoNodesGetANodeOnOne) {
    PlanImport plan = imported("twoblocks.xml");
    expectEdges(plan.track, {{"B1", EDGE_AHEAD, "B2 700"},
                             {"B1", EDGE_BEHIND, "B1~w 350"},
                             {"B1~w", EDGE_BEHIND, "B1 350"},
                             {"B1~w", EDGE_AHEAD, "B2 350"},
                             {"B2", EDGE_AHEAD, "B1~w 350"},
                             {"B2", EDGE_BEHIND, "B1 700"}});
    const Node* way = nodeNamed(plan.track, "B1~w");
    ASSERT_NE(way, nullptr);
    EXPECT_EQ(std::tie(way->layoutX, way->layoutY, way->contacts[0], way->contacts[1]),
              std::tuple(50, 150, NO_CONTACT, NO_CONTACT));
}

TEST(PlanGraphTest, ALoopFromANodeBackToItselfGetsTwoNodes) {
    PlanImport plan = imported("loop.xml");
    expectEdges(plan.track, {{"B", EDGE_AHEAD, "B~w 400"},
                             {"B~w", EDGE_BEHIND, "B 400"},
                             {"B~w", EDGE_AHEAD, "B~w~2 400"},
                             {"B~w~2", EDGE_BEHIND, "B~w 400"},
                             {"B~w~2", EDGE_AHEAD, "B 400"},
                             {"B", EDGE_BEHIND, "B~w~2 400"}});
}

// The fixed switch's other branch ends the track without an open end.
TEST(PlanGraphTest, SwitchWithoutAddressIsFixedInItsSavedState) {
    PlanImport plan;
    ASSERT_TRUE(importPlan(planOf(ENDS "<tklist>\n<tk id=\"c\" type=\"buffer\" x=\"1\" y=\"1\" "
                                       "ori=\"south\"/>\n</tklist>\n<swlist>\n<sw id=\"S\" "
                                       "type=\"right\" state=\"turnout\" x=\"1\" y=\"0\"/>\n"
                                       "</swlist>\n"),
                           PlanOptions{}, plan))
        << problemsOf(plan);
    expectEdges(plan.track, {{"a", EDGE_AHEAD, "c 200"}, {"b", EDGE_AHEAD, "-"}});
}

} // namespace
} // namespace quillon::testing
