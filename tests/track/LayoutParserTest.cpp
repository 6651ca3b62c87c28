#include "support/FakeHost.h"
#include "track/LayoutParser.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace quillon {
namespace {

class ParserTest : public ::testing::Test {
protected:
    int parse(const std::string& text) {
        std::memset(&layout, 0, sizeof layout);
        return parseTrackLayout(text.c_str(), layout);
    }
    // The messages shown since the last parse.
    std::string messages() const {
        std::string all;
        for (const auto& m : scope.host.messages)
            all += m.text;
        return all;
    }

    quillon::testing::HostScope scope;
    TrackLayout layout{};
};

// Two sensors joined by one track, and a switch and a stop hanging off them.
const std::string SMALL =
    "track 4\n"
    "0 S1 sensor 5 10 20 2\n  1 ahead 100\n  2 behind 50\n"
    "1 S2 sensor 6 30 40 1\n  0 behind 100\n"
    "2 SW12 switch 12 50 60 straight 3\n  0 straight 50\n  3 curved 70\n  1 behind 9\n"
    "3 END stop 7 70 80 1\n  2 ahead 70\n";

TEST_F(ParserTest, ParsesNodesEdgesAndIndexTables) {
    ASSERT_EQ(parse(SMALL), 0);
    EXPECT_TRUE(scope.host.messages.empty());
    EXPECT_EQ(layout.nodeCount, 4);

    const TrackNode& s1 = layout.nodes[0];
    EXPECT_EQ(s1.type, NODE_SENSOR);
    EXPECT_STREQ(s1.name, "S1");
    EXPECT_EQ(s1.id, 5);
    EXPECT_EQ(s1.x, 10);
    EXPECT_EQ(s1.y, 20);
    EXPECT_EQ(s1.edges[EDGE_AHEAD].dest, 1);
    EXPECT_EQ(s1.edges[EDGE_AHEAD].distance, 100);
    EXPECT_EQ(s1.edges[EDGE_BEHIND].dest, 2);
    EXPECT_EQ(s1.edges[2].dest, -1);
    EXPECT_EQ(s1.edges[2].distance, 0);
    EXPECT_EQ(&sensorNode(layout, 10), &layout.nodes[0]);
    EXPECT_EQ(&sensorNode(layout, 11), &layout.nodes[0]);

    const TrackNode& sw = layout.nodes[2];
    EXPECT_EQ(sw.type, NODE_SWITCH);
    EXPECT_EQ(sw.id, 11) << "the switch number is replaced by its slot";
    EXPECT_EQ(sw.direction, SWITCH_DIR_STRAIGHT);
    EXPECT_EQ(sw.edges[EDGE_STRAIGHT].dest, 0);
    EXPECT_EQ(sw.edges[EDGE_CURVED].dest, 3);
    EXPECT_EQ(sw.edges[EDGE_COMMON].dest, 1);
    EXPECT_EQ(layout.switchNodeIndex[11], 2);

    const TrackNode& stop = layout.nodes[3];
    EXPECT_EQ(stop.type, NODE_STOP);
    EXPECT_EQ(stop.id, 7);
    EXPECT_STREQ(stop.name, "END");
    EXPECT_EQ(stop.edges[1].dest, -1);
    EXPECT_EQ(stop.edges[2].dest, -1);
}

TEST(SwitchSlot, MapsControllerNumbers) {
    struct Row { int number; int slot; };
    for (Row row : {Row{1, 0}, {12, 11}, {18, 17}, {153, 18}, {156, 21}, {135, 0}, {152, 17},
                    {0, -135}, {19, -116}, {157, 22}}) {
        EXPECT_EQ(switchSlot(row.number), row.slot) << row.number;
    }
    EXPECT_FALSE(isValidSwitchSlot(switchSlot(-2147483647 - 1)));
}

TEST_F(ParserTest, HexadecimalAndOctalIds) {
    ASSERT_EQ(parse("track 2\n0 SW99 switch 0x99 1 1 curved 1\n  1 curved 5\n"
                    "1 A sensor 010 0 0 0\n"),
              0);
    EXPECT_EQ(layout.nodes[0].id, 18);
    EXPECT_EQ(layout.switchNodeIndex[18], 0);
    EXPECT_EQ(layout.nodes[0].direction, SWITCH_DIR_CURVED);
    EXPECT_EQ(layout.nodes[0].edges[EDGE_CURVED].dest, 1);
    EXPECT_EQ(layout.nodes[1].id, 8) << "a leading 0 is octal";
}

// Each failing field with the message it shows and what stays in the record.
TEST_F(ParserTest, FailureMessages) {
    struct Row {
        std::string text;
        const char* message;
    };
    const std::string head = "track 2\n0 A1 sensor 0 1 2 ";
    const Row rows[] = {
        {"", "Could not read initial string.\n"},
        {"  \n\t", "Could not read initial string.\n"},
        {"tracks 3", "Expected 'track', got 'tracks'\n"},
        {"trackmodelab 3", "Expected 'track', got 'trackmode'\n"},
        {"track", "Did not get nodeCount\n"},
        {"track x", "Did not get nodeCount\n"},
        {"track 0", "nodeCount must be positive\n"},
        {"track 1", "Could not get index\n"},
        {"track 1\n1 A sensor 0 0 0 0", "1 is an invalid index\n"},
        {"track 1\n-1 A sensor 0 0 0 0", "-1 is an invalid index\n"},
        {"track 1\n0", "Could not get name\n"},
        {"track 1\n0 A", "Could not get node type\n"},
        {"track 1\n0 A sensor", "Could not get id\n"},
        {"track 1\n0 A sensor q", "Could not get id\n"},
        {"track 1\n0 A sensor 0", "Could not get x coordinate\n"},
        {"track 1\n0 A sensor 0 1", "Could not get y coordinate\n"},
        {"track 1\n0 A sensor 0 1 2", "Could not get number of edges\n"},
        {"track 1\n0 A stop 0 1 2", "Could not get number of edges\n"},
        {head + "1", "Could not get edge destination\n"},
        {head + "1 2", "edge destination 2 out of bounds\n"},
        {head + "1 -1", "edge destination -1 out of bounds\n"},
        {head + "1 1", "Could not get edge type\n"},
        {head + "1 1 ahead", "Could not get edge distance\n"},
        {head + "1 1 straight 4", "Invalid edge direction straight\n"},
        {"track 1\n0 A stop 0 1 2 1 0 behind 4", "Invalid edge direction behind\n"},
        {"track 1\n0 A switch 1 1 2 curved 1 5 ahead 4", "edge destination 5 out of bounds\n"},
    };
    for (const Row& row : rows) {
        scope.host.messages.clear();
        EXPECT_EQ(parse(row.text), -1) << row.text;
        EXPECT_EQ(messages(), row.message) << row.text;
        if (!scope.host.messages.empty()) {
            EXPECT_EQ(scope.host.messages[0].icon, MessageIcon::Error);
        }
    }
}

// Failures of a switch entry and of the type word carry no message.
TEST_F(ParserTest, SilentFailures) {
    const char* rows[] = {
        "track 1\n0 A bridge 0 1 2 0",
        "track 1\n0 A switch 1 1 2",
        "track 1\n0 A switch 1 1 2 bent 0",
        "track 1\n0 A switch 1 1 2 curved",
        "track 1\n0 A switch 1 1 2 curved 1",
        "track 1\n0 A switch 1 1 2 curved 1 0",
        "track 1\n0 A switch 1 1 2 curved 1 0 curved",
        "track 1\n0 A switch 1 1 2 curved 1 0 ahead 5",
    };
    for (const char* text : rows) {
        scope.host.messages.clear();
        EXPECT_EQ(parse(text), -1) << text;
        EXPECT_TRUE(scope.host.messages.empty()) << text;
    }
}

TEST_F(ParserTest, NodeCountAfterFailures) {
    parse("track 0");
    EXPECT_EQ(layout.nodeCount, 0);
    parse("track -3");
    EXPECT_EQ(layout.nodeCount, -3);
    parse("track many");
    EXPECT_EQ(layout.nodeCount, -1);
}

// Counts and ids the record has no room for are refused before anything is
// stored for them.
TEST_F(ParserTest, RejectsWhatTheRecordCannotHold) {
    struct Row {
        const char* text;
        const char* message;
    };
    const Row rows[] = {
        {"track 73", "nodeCount must be at most 72\n"},
        {"track 99999999999", "nodeCount must be at most 72\n"},
        {"track 1\n0 A sensor 40 1 2 0", "40 is an invalid sensor id\n"},
        {"track 1\n0 A sensor -1 1 2 0", "-1 is an invalid sensor id\n"},
        {"track 1\n0 A switch 19 1 2 curved 0", "19 is an invalid switch number\n"},
        {"track 1\n0 A switch 0 1 2 curved 0", "0 is an invalid switch number\n"},
        {"track 1\n0 A switch 157 1 2 curved 0", "157 is an invalid switch number\n"},
        {"track 1\n0 A switch -2147483648 1 2 curved 0",
         "-2147483648 is an invalid switch number\n"},
    };
    for (const Row& row : rows) {
        scope.host.messages.clear();
        EXPECT_EQ(parse(row.text), -1) << row.text;
        EXPECT_EQ(messages(), row.message) << row.text;
    }
    parse("track 73");
    EXPECT_EQ(layout.nodeCount, -1) << "an over-capacity count is not kept";
    EXPECT_EQ(parse("track 1\n0 A switch 135 1 2 curved 0"), 0) << "135 reaches slot 0";
    EXPECT_EQ(parse("track 1\n0 A switch 0x9C 1 2 curved 0"), 0);
    EXPECT_EQ(layout.nodes[0].id, 21);
}

TEST_F(ParserTest, WordsAndNamesAreCut) {
    ASSERT_EQ(parse("track 1\n0 LONGNAME sensor 0 1 2 1\n  0 aheadaheadahead 5\n"), -1);
    EXPECT_STREQ(layout.nodes[0].name, "LONG") << "the rest of the name is passed over";
    EXPECT_EQ(messages(), "Invalid edge direction aheadahea\n");
    EXPECT_EQ(layout.nodes[0].type, NODE_SENSOR);
    EXPECT_EQ(layout.nodes[0].x, 1);
}

// The cursor ends a field only at a space or line feed: a tab or CR right
// after a field hides the next one; CR LF line ends do no harm.
TEST_F(ParserTest, CursorRule) {
    ASSERT_EQ(parse("track 1\n0\tA sensor sensor 3 1 2 0\n"), 0);
    EXPECT_STREQ(layout.nodes[0].name, "sens") << "the type word was read as the name";
    EXPECT_EQ(layout.nodes[0].id, 3);

    ASSERT_EQ(parse("track 2\r\n0 A sensor 0 1 2 1\r\n  1 ahead 7\r\n1 B stop 1 3 4 0\r\n"), 0);
    EXPECT_EQ(layout.nodes[0].edges[EDGE_AHEAD].distance, 7);
    EXPECT_EQ(layout.nodes[1].type, NODE_STOP);

    ASSERT_EQ(parse("track 1\n0 A sensor 0 1\r2 9 0"), 0) << "the y field hides behind the CR";
    EXPECT_EQ(layout.nodes[0].y, 9);

    EXPECT_EQ(parse("track 1\n0 A stop 3 1 2 0"), 0) << "no line feed after the last field";
}

TEST_F(ParserTest, EdgesFillSlotsByKeyword) {
    ASSERT_EQ(parse("track 3\n0 A sensor 0 1 2 3\n  1 behind 4\n  2 ahead 5\n  2 behind 6\n"
                    "1 B stop 0 0 0 0\n2 C stop 1 0 0 -4\n"),
              0);
    EXPECT_EQ(layout.nodes[0].edges[EDGE_AHEAD].dest, 2);
    EXPECT_EQ(layout.nodes[0].edges[EDGE_BEHIND].dest, 2) << "the last edge of a slot wins";
    EXPECT_EQ(layout.nodes[0].edges[EDGE_BEHIND].distance, 6);
}

TEST_F(ParserTest, DuplicateIndexLeavesASlotEmpty) {
    ASSERT_EQ(parse("track 2\n0 LONG stop 0 5 5 0\n0 B stop 1 6 6 0\n"), 0);
    EXPECT_STREQ(layout.nodes[0].name, "B");
    EXPECT_EQ(layout.nodes[0].name[2], 0) << "no byte of the earlier name is left";
    TrackNode zero{};
    EXPECT_EQ(std::memcmp(&layout.nodes[1], &zero, sizeof zero), 0);
}

TEST_F(ParserTest, NumbersBeyondTheIntRangeAreHeldAtItsLimits) {
    ASSERT_EQ(parse("track 1\n0 A stop 99999999999999999999 -99999999999999999999 0x7fffffffff 0"),
              0);
    EXPECT_EQ(layout.nodes[0].id, 2147483647);
    EXPECT_EQ(layout.nodes[0].x, -2147483647 - 1);
    EXPECT_EQ(layout.nodes[0].y, 0) << "y is decimal: the 0 before the x";
}

} // namespace
} // namespace quillon
