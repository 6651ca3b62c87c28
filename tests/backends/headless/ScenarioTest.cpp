#include "backends/headless/Scenario.h"

#include "sim/World.h"
#include "support/LayoutFiles.h"

#include <gtest/gtest.h>

#include <string_view>

namespace quillon::headless {
namespace {

class ScenarioTest : public ::testing::Test {
protected:
    bool parse(const std::string& text) {
        return parseScenario(text, world.layouts, LAYOUT_A, scenario, error);
    }
    World world = makeWorld();
    Scenario scenario;
    ScenarioError error;
};

TEST_F(ScenarioTest, ReadsStatementsWithTheirTimesInFileOrder) {
    ASSERT_TRUE(parse("layout B  # second layout\n\n"
                      "at 2s speed 12 8\n"
                      "place 12 A1\n"
                      "at 1.5s switch 5 curved\n"
                      "report\n"
                      "at 9s end\n"
                      "expect sensor C13 train 12 between 1s and 2s\n"))
        << error.line << ": " << error.message;
    EXPECT_EQ(scenario.layout, LAYOUT_B);
    ASSERT_EQ(scenario.actions.size(), 4u);
    EXPECT_EQ(scenario.actions[0].bytes, (std::vector<std::uint8_t>{8, 12}));
    EXPECT_EQ(scenario.actions[0].timeMs, 2000);
    EXPECT_EQ(scenario.actions[1].node.layout, LAYOUT_B) << "names resolve in the chosen layout";
    EXPECT_EQ(scenario.actions[2].timeMs, 1500);
    EXPECT_EQ(scenario.actions[3].bytes, (std::vector<std::uint8_t>{133}));
    EXPECT_EQ(scenario.endMs, 9000);
    EXPECT_EQ(scenario.expectations.at(0).sensor, 44);
}

TEST_F(ScenarioTest, RefusesAMalformedLineNamingIt) {
    using namespace std::string_view_literals;
    struct Row {
        std::string_view body; // given after a valid first line
        const char* message;
    } rows[] = {
        {"fly 12", "unknown statement 'fly'"},
        {"place 12 Z9", "layout A has no node 'Z9'"},
        {"place 256 A1", "'256' is not a train number (0..255)"},
        {"place 12", "'place' takes the form: place TRAIN NODE [ahead|behind]"},
        {"speed 12 15", "'15' is not a speed step (0..14)"},
        {"send 1 256", "'256' is not a byte (0..255)"},
        {"switch 19 curved", "layout A has no switch 19"},
        {"switch 5 left", "a switch is set straight or curved, not 'left'"},
        {"stick SW5", "'SW5' is not a sensor"},
        {"at soon report", "'soon' is not a time (like 250ms, 1.5s or 2, at most a day)"},
        {"layout B", "'layout' must be the first statement, without 'at'"},
        {"expect sensor AF1 between 0s and 1s", "'AF1' is not a sensor name (A1..AE16)"},
        {"expect sensor C13 between 2s and 1s", "the window ends before it begins"},
        {"expect sensor C13 at 1s",
         "'expect sensor' takes the form: expect sensor NAME [train N] between TIME and TIME"},
        {"expect no halt train 12", "'expect no halt' is not an expectation"},
        {"expect halt train 12 near A1",
         "'expect halt' takes the form: expect halt train N [at NODE]"},
        {"at 5s end", "a second 'end' (the first is on line 1)"},
        {"at 20s report", "this statement comes at or after the end (line 1)"},
        {"at 11s expect collision", "this expectation comes after the end (line 1)"},
        {"expect sensor C13 between 11s and 12s", "its window begins after the end (line 1)"},
        {"place 12 A1\0 B2"sv, "not text: a control character (0x00)"},
        {"place 12 \x1b[2J", "not text: a control character (0x1b)"},
    };
    for (const Row& row : rows) {
        EXPECT_FALSE(parse("at 10s end\n# comment\n" + std::string(row.body) + "\n")) << row.body;
        EXPECT_EQ(error.line, 3) << row.body;
        EXPECT_EQ(error.message, row.message) << row.body;
    }
}

TEST_F(ScenarioTest, NeedsAnEnd) {
    EXPECT_FALSE(parse("place 12 A1\n"));
    EXPECT_EQ(error.message, "no 'end': the run needs one, like: at 10s end");
}

class ScenarioLayoutFileTest : public ScenarioTest {
protected:
    bool parseIn(const std::string& text) {
        return parseScenario(text, world.layouts, LAYOUT_A, scenario, error, folder.path("s.scn"));
    }
    quillon::testing::TempFolder folder;
};

TEST_F(ScenarioLayoutFileTest, NodeNamesResolveInTheFileNamedFromTheScenariosFolder) {
    folder.write("a.layout", quillon::testing::layoutAText());
    ASSERT_TRUE(parseIn("layout a.layout\nplace 12 A3\nat 1s end\n")) << error.message;
    EXPECT_EQ(scenario.actions[0].node, (NodeRef{LAYOUT_LOADED, 1}));
}

TEST_F(ScenarioLayoutFileTest, AFileThatDoesNotLoadFailsItsLineWithTheFilesErrors) {
    const std::string bad = folder.write("bad.layout", quillon::testing::twoMistakesText());
    EXPECT_FALSE(parseIn("layout bad.layout\nat 1s end\n"));
    EXPECT_EQ(error.line, 1);
    EXPECT_EQ(error.details.size(), 2u);
}

} // namespace
} // namespace quillon::headless
