#include "app/Options.h"

#include "sim/World.h"
#include "support/LayoutFiles.h"

#include <gtest/gtest.h>

#include <cstring>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

namespace quillon::testing {
namespace {

ParsedOptions parse(std::vector<const char*> arguments, const char* commandsVariable = nullptr) {
    arguments.insert(arguments.begin(), "quillon");
    return parseOptions(static_cast<int>(arguments.size()), arguments.data(), commandsVariable);
}

} // namespace

struct BadOptions {
    std::vector<const char*> arguments;
    const char* error;
};

void PrintTo(const BadOptions& row, std::ostream* out) {
    *out << row.error;
}

class OptionsRefuseTest : public ::testing::TestWithParam<BadOptions> {};

TEST_P(OptionsRefuseTest, SaysWhatIsWrong) {
    const ParsedOptions parsed = parse(GetParam().arguments);
    EXPECT_FALSE(parsed.ok);
    EXPECT_EQ(parsed.error, GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(
    Options, OptionsRefuseTest,
    ::testing::Values(
        BadOptions{{"--bogus"}, "unknown option '--bogus'"},
        BadOptions{{"--layoutB"}, "unknown option '--layoutB'"},
        BadOptions{{"--layout"}, "--layout needs a value: A, B or a layout file"},
        BadOptions{{"--layout="}, "--layout needs A, B or a layout file"},
        BadOptions{{"--snapshot", "x.png", "--size", "0x5"},
                   "--size needs WIDTHxHEIGHT, each 1 to 8192, not '0x5'"},
        BadOptions{{"--snapshot", "x.png", "--size", "300x200x1"},
                   "--size needs WIDTHxHEIGHT, each 1 to 8192, not '300x200x1'"},
        BadOptions{{"--size", "300x200"}, "--size needs --snapshot FILE"},
        BadOptions{{"--place", "256:A1"}, "bad train number '256': trains are numbered 0 to 255"},
        BadOptions{{"--place", "-1:A1"}, "bad train number '-1': trains are numbered 0 to 255"},
        BadOptions{{"--place", ":A1"}, "bad train number '': trains are numbered 0 to 255"},
        BadOptions{{"--place", "12"}, "--place needs TRAIN:NODE, not '12'"},
        BadOptions{{"--place", "12:Z9"}, "unknown node 'Z9' on layout A"},
        BadOptions{{"--place", "12:"}, "unknown node ''"},
        BadOptions{{"--socket", ""}, "--socket needs a path"},
        BadOptions{{"--commands=some"}, "--commands must be basic or full, not 'some'"}));

TEST(OptionsTest, ASocketPathTooLongForTheOptionsIsRefused) {
    const std::string path(SOCKET_PATH_CAPACITY, 'x');
    EXPECT_FALSE(parse({"--socket", path.c_str()}).ok);
}

// The layout may come after the placements that name its nodes.
TEST(OptionsTest, NodeNamesResolveAgainstTheChosenLayout) {
    Layouts layouts{};
    loadBuiltinLayouts(layouts);
    const ParsedOptions parsed = parse({"--place", "12:C13", "--layout=B"});
    ASSERT_TRUE(parsed.ok) << parsed.error;
    const NodeRef node = parsed.app.placements[0].node;
    ASSERT_TRUE(node.isNode());
    EXPECT_EQ(node.layout, LAYOUT_B);
    EXPECT_STREQ(nodeAt(layouts, node).name, "C13");
}

TEST(OptionsTest, ATrainPlacedTwiceKeepsItsLastNode) {
    const ParsedOptions parsed = parse({"--place", "12:A1", "--place", "7:A3", "--place", "12:A5"});
    ASSERT_EQ(parsed.app.placementCount, 2);
    EXPECT_STREQ(parsed.app.placements[0].nodeName, "A5");
}

TEST(OptionsTest, TrainZeroAndTrain255CanBePlaced) {
    EXPECT_TRUE(parse({"--place", "0:A1", "--place", "255:A3"}).ok);
}

TEST(OptionsTest, MoreTrainsThanTheTableHoldsAreRefused) {
    std::vector<std::string> values;
    for (int train = 0; train <= MAX_PLACEMENTS; ++train)
        values.push_back(std::to_string(train) + ":A1");
    std::vector<const char*> arguments;
    for (const std::string& value : values) {
        arguments.push_back("--place");
        arguments.push_back(value.c_str());
    }
    EXPECT_EQ(parse(arguments).error, "too many trains placed: at most 80");
}

TEST(OptionsTest, TheCommandLineWinsOverTheVariable) {
    EXPECT_EQ(parse({"--commands", "basic"}, "full").app.commands, CommandSet::Basic);
}

// A program with options of its own takes them out and hands on the rest.
TEST(OptionsTest, AnotherProgramsOptionIsLeftToIt) {
    ParsedOptions parsed = startOptions(nullptr);
    const char* arguments[] = {"quillon-headless", "--quiet"};
    int i = 1;
    EXPECT_FALSE(takeCommonOption(parsed, 2, arguments, i));
    EXPECT_TRUE(parsed.ok);
}

TEST(OptionsTest, ApplyingPlacesTheTrainsOnTheChosenLayoutInOrder) {
    const ParsedOptions parsed = parse({"--layout", "B", "--place", "24:A3", "--place", "12:A1"});
    World world = makeWorld();
    applyOptions(world, parsed.app);
    EXPECT_EQ(world.layouts.active, LAYOUT_B);
    ASSERT_EQ(world.trains.count, 2);
    EXPECT_EQ(world.trains.trains[0].number, 24);
    EXPECT_EQ(world.trains.trains[1].currentNode, parsed.app.placements[1].node);
}

TEST(OptionsTest, ALayoutLetterInEitherCaseIsABuiltInLayout) {
    EXPECT_EQ(parse({"--layout", "b"}).app.layout, LAYOUT_B);
}

class LayoutFileOptionsTest : public ::testing::Test {
protected:
    TempFolder folder;
    const std::string layoutA = folder.write("a.layout", layoutAText());
};

TEST_F(LayoutFileOptionsTest, AFileBecomesTheActiveLoadedLayout) {
    World world = makeWorld();
    applyOptions(world, parse({"--layout", layoutA.c_str()}).app);
    EXPECT_EQ(world.layouts.active, LAYOUT_LOADED);
    EXPECT_EQ(world.layouts.tracks[LAYOUT_LOADED].nodeCount(), 72);
}

TEST_F(LayoutFileOptionsTest, PlacementsResolveByTheFilesNodeNames) {
    const ParsedOptions parsed = parse({"--place", "12:A3", "--layout", layoutA.c_str()});
    ASSERT_TRUE(parsed.ok) << parsed.error;
    EXPECT_EQ(parsed.app.placements[0].node, (NodeRef{LAYOUT_LOADED, 1}));
}

// Names of a loaded layout run to 31 characters; the message keeps them whole.
TEST_F(LayoutFileOptionsTest, AnUnknownNameIsRefusedNamingTheFile) {
    const std::string name(31, 'n');
    const std::string place = "12:" + name;
    EXPECT_EQ(parse({"--layout", layoutA.c_str(), "--place", place.c_str()}).error,
              "unknown node '" + name + "' in " + layoutA);
}

TEST_F(LayoutFileOptionsTest, AFileThatDoesNotLoadGivesEveryErrorOnALineOfItsOwn) {
    const std::string bad = folder.write("bad.layout", twoMistakesText());
    const ParsedOptions parsed = parse({"--layout", bad.c_str()});
    std::vector<std::string> where;
    std::istringstream lines(parsed.error);
    for (std::string line; std::getline(lines, line);)
        where.push_back(line.substr(0, line.find(": ")));
    EXPECT_EQ(where, (std::vector<std::string>{bad + ":3:3", bad + ":5:11"}));
}

TEST_F(LayoutFileOptionsTest, AMissingFileIsAnErrorNamingIt) {
    const std::string missing = folder.path("missing.layout");
    EXPECT_EQ(parse({"--layout", missing.c_str()}).error.rfind(missing + ": ", 0), 0u);
}

} // namespace quillon::testing
