#include "track/LayoutFile.h"

#include "sim/World.h"
#include "support/GeneratedLayout.h"
#include "track/LayoutCheck.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace quillon::testing {
namespace {

// The example of the layout file manual page, word for word.
const char OVAL_WITH_SIDING[] =
    R"(# An oval of four sensors; switch W1 leads off it into a station siding.
gap 40
switch W1 at 100 50 number 1
    behind S4 80  straight S1 100  curved P1 120
sensor S1 at 250 20 id 0
    behind W1 100  ahead S2 200
sensor S2 at 400 100 id 1
    behind S1 200  ahead S3 200
sensor S3 at 250 180 contacts B1 B2
    behind S2 200  ahead S4 200
sensor S4 at 40 100 contact A13
    behind S3 200  ahead W1 80
sensor P1 at 250 60 id 4          # the platform
    behind W1 120  ahead E1 60
stop E1 at 330 60 ahead P1 60
)";

std::vector<LayoutError> errorsOf(const std::string& text) {
    Track track;
    std::vector<LayoutError> errors;
    EXPECT_FALSE(loadLayout(text, track, errors)) << text;
    return errors;
}

Track loaded(const std::string& text) {
    Track track;
    std::vector<LayoutError> errors;
    EXPECT_TRUE(loadLayout(text, track, errors)) << describeLayoutError("text", errors.at(0));
    return track;
}

bool sameNodes(const Track& a, const Track& b) {
    return a.nodeCount() == b.nodeCount() &&
           std::memcmp(a.nodes.data(), b.nodes.data(), a.nodes.size() * sizeof(Node)) == 0;
}

std::string manyStops(int count) {
    std::string text;
    for (int i = 0; i < count; ++i)
        text += "stop N" + std::to_string(i) + " at 0 0\n";
    return text;
}

} // namespace

// Each bad file gives exactly one error, at the offending word.
TEST(LayoutFileTest, ReportsEachMistakeAtItsWord) {
    const std::string b = "\nstop B at 1 1\n";
    const std::pair<std::string, std::string> rows[] = {
        {"stop A at 0 0 ahead SW9 5\n", "f:1:21: unknown node 'SW9'"},
        {"stop A at 0 0\nstop A at 1 1\n", "f:2:6: name 'A' is used twice (first on line 1)"},
        {"stop A at 0 0 behind B 5" + b, "f:1:15: a stop has no 'behind' edge"},
        {"switch A at 0 0 number 1 ahead B 5" + b, "f:1:26: a switch has no 'ahead' edge"},
        {"switch A at 0 0 number 1 id 3\n", "f:1:26: a switch has no 'id' clause"},
        {"stop A at 0 0 ahead A 5\n", "f:1:21: edge from 'A' to itself"},
        {"stop A at 0\n", "f:1:8: 'at' needs x and y"},
        {"stop A at 0 0 ahead B" + b, "f:1:15: 'ahead' needs a node and a distance"},
        {"stop A at 0 y\n", "f:1:13: y coordinate 'y' is not a number"},
        {"stop A at 99999999999 0\n",
         "f:1:11: x coordinate 99999999999 is outside -2147483648..2147483647"},
        {"stop A at 0 0\n  at 1 1\n", "f:2:3: 'at' is given twice"},
        {"sensor A at 0 0\n", "f:1:8: sensor 'A' has no id, contact or contacts"},
        {"sensor A at 0 0 id 1 contact 5\n",
         "f:1:22: a sensor takes one of id, contact and contacts"},
        {"sensor A at 0 0 id 248\n", "f:1:20: sensor id 248 is outside 0..247"},
        {"switch A at 0 0 number 5\nswitch B at 0 0 number 5\n",
         "f:2:24: switch number 5 is used twice (first on line 1)"},
        {"switch A at 0 0 number 256\n", "f:1:24: switch number 256 is outside 1..255"},
        {"switch A at 0 0\n", "f:1:8: switch 'A' has no 'number'"},
        {"switch A at 0 0 number 1 set left\n",
         "f:1:30: switch direction 'left' is not straight or curved"},
        {"sensor A at 0 0 contact 496\n", "f:1:25: contact 496 is outside 0..495"},
        {"sensor A at 0 0 contacts AF1 -\n",
         "f:1:26: contact 'AF1' is not a number or a contact name"},
        {"stop A at 0 0 ahead B 0" + b, "f:1:23: distance 0 is outside 1..1000000"},
        {"stop A at 0 0 ahead B 1000001" + b, "f:1:23: distance 1000001 is outside 1..1000000"},
        {"stop " + std::string(32, 'x') + " at 0 0\n",
         "f:1:6: name 'xxxxxxxxxxxxxxxxxxxx' is longer than 31 characters"},
        {"stop A\x01 at 0 0\n", "f:1:6: name 'A?' is not printable ascii"},
        {"stop A\n", "f:1:6: node 'A' has no 'at'"},
        {"stop\n", "f:1:1: 'stop' needs a name"},
        {"stop A at 0 0 colour\n", "f:1:15: unknown clause 'colour'"},
        {"signal A at 0 0\n", "f:1:1: unknown statement 'signal'"},
        {"  stop A at 0 0\n", "f:1:3: this line continues no statement"},
        {"gap x\nstop A at 0 0\n", "f:1:5: gap 'x' is not a number"},
        {"gap 5\ngap 5\nstop A at 0 0\n", "f:2:1: 'gap' is given twice (first on line 1)"},
        {"# nothing but a comment\n", "f: the layout has no nodes"},
        {manyStops(4097), "f:4097:1: more than 4096 nodes"},
        {"\xEF\xBB\xBFstop A at 0 0 ahead B 5\n", "f:1:24: unknown node 'B'"},
        {std::string("stop A at 0 0\nstop B\0", 21), "f:2:7: not a text file: a nul byte"},
        {"stop A at 0 0 # caf\xC3\n", "f:1:20: not a text file: byte 0xc3 is not utf-8"},
        {"stop A at 0 0 # \xED\xA0\x80\n", "f:1:17: not a text file: byte 0xed is not utf-8"},
        {"track 1\n0 A stop 0 0 0 \xC0\x80", "f:2:16: not a text file: byte 0xc0 is not utf-8"},
    };
    for (const auto& [text, expected] : rows) {
        std::vector<LayoutError> errors = errorsOf(text);
        ASSERT_EQ(errors.size(), 1u) << text << "\nfirst: " << errors.at(0).message;
        EXPECT_EQ(describeLayoutError("f", errors[0]), expected);
    }
}

TEST(LayoutFileTest, ReportsEveryMistakeInTextOrder) {
    std::vector<LayoutError> errors =
        errorsOf("stop A at 0 0 ahead X 5\nstop B at 0\n# c\nstop C at 1 1 ahead Y 2\n");
    std::vector<std::string> described;
    for (const LayoutError& error : errors)
        described.push_back(describeLayoutError("f", error));
    EXPECT_EQ(described,
              (std::vector<std::string>{"f:1:21: unknown node 'X'", "f:2:8: 'at' needs x and y",
                                        "f:4:21: unknown node 'Y'"}));
}

TEST(LayoutFileTest, StopsAfterAHundredErrors) {
    std::string text;
    for (int i = 0; i < 500; ++i)
        text += "bogus\n";
    std::vector<LayoutError> errors = errorsOf(text);
    ASSERT_EQ(errors.size(), 101u);
    EXPECT_EQ(describeLayoutError("f", errors.back()), "f:101:1: too many errors");
}

// Words beyond the 64th of a statement are not kept, so neither are their
// errors.
TEST(LayoutFileTest, AStatementEndsAfterSixtyFourWords) {
    std::string text = "stop A at 0 0";
    for (int i = 0; i < 200; ++i)
        text += " x";
    std::vector<LayoutError> errors = errorsOf(text);
    EXPECT_EQ(describeLayoutError("f", errors.back()),
              "f:1:133: the statement has more than 64 words");
}

TEST(LayoutFileTest, AFailedLoadLeavesTrackAndPositionsAsTheyWere) {
    Track track = loaded(OVAL_WITH_SIDING);
    std::vector<SourcePosition> positions(1, SourcePosition{7, 7});
    std::vector<LayoutError> errors;
    EXPECT_FALSE(loadLayout("stop A at 0 0 ahead B 1\n", track, errors, &positions));
    EXPECT_EQ(track.nodeCount(), 7);
    EXPECT_EQ(positions.size(), 1u);
}

TEST(LayoutFileTest, LoadsTheNodesEdgesAndContactsOfTheExample) {
    Track track = loaded(OVAL_WITH_SIDING);
    ASSERT_EQ(track.nodeCount(), 7);
    const Node& w1 = track.nodes[0];
    EXPECT_EQ(w1.type, NODE_SWITCH);
    EXPECT_EQ(w1.id, 1);
    EXPECT_EQ(w1.direction, SWITCH_DIR_STRAIGHT);
    EXPECT_EQ(w1.layoutX, 100);
    EXPECT_EQ(w1.y, 50);
    EXPECT_EQ(w1.edges[EDGE_COMMON].dest, 4);
    EXPECT_EQ(w1.edges[EDGE_STRAIGHT].distance, 100);
    EXPECT_EQ(w1.edges[EDGE_CURVED].dest, 5);
    EXPECT_STREQ(track.nodes[3].name, "S3");
    EXPECT_EQ(track.nodes[3].contacts[WAY_BEHIND], 17);
    EXPECT_EQ(track.nodes[3].id, 8); // contacts 16 and 17 are those of id 8
    EXPECT_EQ(track.nodes[4].contacts[WAY_AHEAD], 12);
    EXPECT_EQ(track.nodes[4].id, -1);
    EXPECT_EQ(track.nodes[5].contacts[WAY_AHEAD], 8);
    EXPECT_EQ(track.nodes[6].edges[EDGE_AHEAD].dest, 5);
    EXPECT_EQ(track.gap.rule, GapRule::LayoutUnits);
    EXPECT_EQ(track.gap.size, 40);
    EXPECT_EQ(switchIndexForByte(track, 1), 0);
}

TEST(LayoutFileTest, TheExampleLoadsWithoutAWarning) {
    EXPECT_TRUE(checkLayout(loaded(OVAL_WITH_SIDING)).empty());
}

TEST(LayoutFileTest, GivesWhereEachNodeBegins) {
    const std::pair<std::string, std::vector<std::pair<int, int>>> rows[] = {
        {OVAL_WITH_SIDING, {{3, 1}, {5, 1}, {7, 1}, {9, 1}, {11, 1}, {13, 1}, {15, 1}}},
        {"track 2\n1 B stop 0 0 0 0\n  0 A stop 0 0 0 0", {{3, 3}, {2, 1}}},
    };
    for (const auto& [text, expected] : rows) {
        Track track;
        std::vector<LayoutError> errors;
        std::vector<SourcePosition> positions;
        ASSERT_TRUE(loadLayout(text, track, errors, &positions));
        std::vector<std::pair<int, int>> found;
        for (SourcePosition at : positions)
            found.push_back({at.line, at.column});
        EXPECT_EQ(found, expected) << text;
    }
}

TEST(LayoutFileTest, TellsTheFormByTheFirstWord) {
    EXPECT_EQ(layoutFormOf("\n  track 3\n"), LayoutForm::NodeTable);
    EXPECT_EQ(layoutFormOf("\xEF\xBB\xBFtrack 3"), LayoutForm::NodeTable);
    EXPECT_EQ(layoutFormOf("tracks"), LayoutForm::Named);
    EXPECT_EQ(layoutFormOf("# track\n"), LayoutForm::Named);
}

TEST(LayoutFileTest, AFileThatCannotBeOpenedIsOneErrorForTheWholeFile) {
    Track track;
    std::vector<LayoutError> errors;
    EXPECT_FALSE(readLayoutFile("/nonexistent/layout", track, errors));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(describeLayoutError("f", errors[0]), "f: cannot open: No such file or directory");
}

// The built-in layouts and the generated one come back node for node, and
// the text they give is the text they came from.
TEST(LayoutFileTest, TheNamedFormGivesBackTheTracksItWasWrittenFrom) {
    const World world = makeWorld();
    for (const Track& track :
         {world.layouts.tracks[LAYOUT_A], world.layouts.tracks[LAYOUT_B], generateLayout(3)}) {
        std::string text = formatNamedLayout(track);
        Track again = loaded(text);
        EXPECT_TRUE(sameNodes(track, again)) << text.substr(0, 200);
        EXPECT_EQ(again.gap.rule, GapRule::WindowPixels);
        EXPECT_EQ(formatNamedLayout(again), text);
    }
}

// Contacts of every kind, a layout-unit gap, a curved switch, a stop's
// number and names the form cannot keep.
TEST(LayoutFileTest, TheNamedFormStatesWhatTheNodeTableFormCannot) {
    Track track = loaded(OVAL_WITH_SIDING);
    track.nodes[1].contacts[WAY_BEHIND] = NO_CONTACT;
    track.nodes[2].contacts[WAY_AHEAD] = NO_CONTACT;
    track.nodes[2].contacts[WAY_BEHIND] = NO_CONTACT;
    track.nodes[0].direction = SWITCH_DIR_CURVED;
    track.nodes[6].id = -9;
    std::strcpy(track.nodes[3].name, "S 3");
    std::strcpy(track.nodes[5].name, "N3");
    std::strcpy(track.nodes[2].name, "S1");
    Track again = loaded(formatNamedLayout(track));
    EXPECT_STREQ(again.nodes[3].name, "N3_");
    EXPECT_STREQ(again.nodes[1].name, "N1");
    for (int i : {1, 2, 3})
        std::strcpy(track.nodes[static_cast<std::size_t>(i)].name, again.nodes[i].name);
    // Sensors without a contact pair 2k, 2k + 1 have no id.
    track.nodes[1].id = track.nodes[2].id = -1;
    EXPECT_TRUE(sameNodes(track, again)) << formatNamedLayout(track);
    EXPECT_EQ(again.gap.size, 40);
}

} // namespace quillon::testing
