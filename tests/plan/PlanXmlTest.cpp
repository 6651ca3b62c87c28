#include "plan/PlanXml.h"

#include "PlanTesting.h"

#include <tuple>

namespace quillon::testing {
namespace {

TEST(PlanXmlTest, RecognisesAPlanByItsRootElement) {
    for (auto [text, plan] : {
             std::tuple{"<plan/>", true},
             {"\xEF\xBB\xBF<?xml version=\"1.0\"?>\n<!-- a <plan> -->\n<plan title=\"x\">", true},
             {"<!DOCTYPE plan>\n<modplan>", true},
             {"<planet/>", false},
             {"track 3\n", false},
             {"sensor S1 at 0 0 id 1 # <plan>", false},
             {"<?xml version=\"1.0\"?>", false},
             {"", false},
         })
        EXPECT_EQ(looksLikePlan(text), plan) << text;
}

// Nothing is loaded from input that is no plan of a schema the import reads.
TEST(PlanXmlTest, RefusesWhatIsNoPlanItReads) {
    for (auto [text, problem] : {
             std::tuple{"<layout/>", "plan:1: not a Rocrail plan: the root element is <layout>, "
                                     "not <plan>"},
             {"<plan>\n<tklist>\n</plan>", "plan:3: broken XML: Start-end tags mismatch"},
             {"<plan rocrailversion=\"0.9.1\"/>",
              "plan:1: a plan of version '0.9.1': this import reads plans of Rocrail 1 to 3"},
             {"<modplan/>", "plan:1: a modular plan (<modplan>) is not read: import its "
                            "modules' plan as one plan"},
             {"<plan>\n<fblist>\n<fb id=\"F\" x=\"two\"/>\n</fblist>\n</plan>",
              "plan:3: tile F: x is not a whole number: 'two'"},
             {"<plan>\n<fblist>\n<fb id=\"F\" y=\"4096\"/>\n</fblist>\n</plan>",
              "plan:3: tile F: y 4096 is out of range -4095..4095"},
         }) {
        PlanDocument doc;
        std::vector<PlanProblem> problems;
        EXPECT_FALSE(readPlanXml(text, doc, problems)) << text;
        ASSERT_EQ(problems.size(), 1u) << text;
        EXPECT_EQ(describePlanProblem("plan", problems[0]), problem);
    }
}

TEST(PlanXmlTest, ReadsTheAttributesOfTilesAndLocos) {
    PlanDocument doc;
    std::vector<PlanProblem> problems;
    ASSERT_TRUE(readPlanXml("<plan><swlist><sw id=\"S\" type=\"threeway\" addr1=\"2\" port1=\"3\" "
                            "addr2=\"4\" port2=\"1\" x=\"5\" y=\"6\" z=\"1\" ori=\"south\" "
                            "state=\"turnout\"/></swlist><lclist><lc id=\"L\" addr=\"9\" "
                            "blockid=\"B\" blockenterside=\"false\" fn=\"true\"/></lclist></plan>",
                            doc, problems));
    ASSERT_EQ(doc.tiles.size(), 1u);
    const PlanTile& sw = doc.tiles[0];
    EXPECT_EQ(std::tie(sw.addr1, sw.port1, sw.addr2, sw.port2), std::tuple(2, 3, 4, 1));
    EXPECT_EQ(std::tie(sw.x, sw.y, sw.z, sw.ori), std::tuple(5, 6, 1, int{ORI_SOUTH}));
    EXPECT_TRUE(sw.turnout);
    ASSERT_EQ(doc.locos.size(), 1u);
    const PlanLoco& lc = doc.locos[0];
    EXPECT_EQ(std::tie(lc.addr, lc.block, lc.enteredPlus, lc.lights),
              std::tuple(9, std::string("B"), false, true));
}

TEST(PlanXmlTest, LeavesOutHiddenTilesAndTilesOffTheGrid) {
    PlanDocument doc;
    std::vector<PlanProblem> problems;
    ASSERT_TRUE(readPlanXml("<plan><fblist><fb id=\"A\" show=\"false\"/><fb id=\"B\" "
                            "x=\"-1\" y=\"-1\"/></fblist></plan>",
                            doc, problems));
    EXPECT_TRUE(doc.tiles.empty());
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(describePlanProblem("plan", problems[0]),
              "plan:1: tile B: warning: not on the grid (x or y below 0): left out");
}

} // namespace
} // namespace quillon::testing
