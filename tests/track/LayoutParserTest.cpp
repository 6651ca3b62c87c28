#include "track/LayoutParser.h"

#include "support/FakeHost.h"

#include <cstring>

namespace quillon::testing {

class ParserTest : public ::testing::Test {
protected:
    int parse(const std::string& text) {
        std::memset(&layout, 0, sizeof layout);
        scope.host.messages.clear();
        return parseTrackLayout(text.c_str(), layout);
    }

    HostScope scope;
    TrackLayout layout{};
};

// Each failing field with the message it shows; failures of a switch entry
// and of the type word show none.
TEST_F(ParserTest, FailureMessages) {
    const std::string head = "track 2\n0 A1 sensor 0 1 2 ";
    const std::pair<std::string, std::string> rows[] = {
        {"", "Could not read initial string.\n"},
        {"trackmodelab 3", "Expected 'track', got 'trackmode'\n"},
        {"track x", "Did not get nodeCount\n"},
        {"track 0", "nodeCount must be positive\n"},
        {"track 73", "nodeCount must be at most 72\n"},
        {"track 1", "Could not get index\n"},
        {"track 1\n1 A sensor 0 0 0 0", "1 is an invalid index\n"},
        {"track 1\n-1 A sensor 0 0 0 0", "-1 is an invalid index\n"},
        {"track 1\n0", "Could not get name\n"},
        {"track 1\n0 A", "Could not get node type\n"},
        {"track 1\n0 A sensor q", "Could not get id\n"},
        {"track 1\n0 A sensor 0", "Could not get x coordinate\n"},
        {"track 1\n0 A sensor 0 1", "Could not get y coordinate\n"},
        {"track 1\n0 A stop 0 1 2", "Could not get number of edges\n"},
        {"track 1\n0 A sensor 40 1 2 0", "40 is an invalid sensor id\n"},
        {"track 1\n0 A sensor -1 1 2 0", "-1 is an invalid sensor id\n"},
        {"track 1\n0 A switch 19 1 2 curved 0", "19 is an invalid switch number\n"},
        {"track 1\n0 A switch -2147483648 1 2 curved 0",
         "-2147483648 is an invalid switch number\n"},
        {head + "1", "Could not get edge destination\n"},
        {head + "1 2", "edge destination 2 out of bounds\n"},
        {head + "1 1", "Could not get edge type\n"},
        {head + "1 1 ahead", "Could not get edge distance\n"},
        {head + "1 1 aheadaheadahead 4", "Invalid edge direction aheadahea\n"},
        {"track 1\n0 A stop 0 1 2 1 0 behind 4", "Invalid edge direction behind\n"},
        {"track 1\n0 A switch 1 1 2 curved 1 5 ahead 4", "edge destination 5 out of bounds\n"},
        {"track 1\n0 A bridge 0 1 2 0", ""},
        {"track 1\n0 A switch 1 1 2 curved 1 0 ahead 5", ""},
    };
    for (const auto& [text, message] : rows) {
        EXPECT_EQ(parse(text), -1) << text;
        std::string shown;
        for (const Message& m : scope.host.messages)
            shown += m.text;
        EXPECT_EQ(shown, message) << text;
    }
}

// The cursor ends a field only at a space or line feed: a tab or CR right
// after a field hides the next one; CR LF line ends do no harm.
TEST_F(ParserTest, CursorRule) {
    ASSERT_EQ(parse("track 1\n0\tA sensor sensor 3 1 2 0\n"), 0);
    EXPECT_EQ(std::tuple(std::string(layout.nodes[0].name), layout.nodes[0].id),
              std::tuple("sens", 3))
        << "the type word was read as the name";

    ASSERT_EQ(parse("track 2\r\n0 A sensor 0 1 2 1\r\n  1 ahead 7\r\n1 B stop 1 3 4 0\r\n"), 0);
    EXPECT_EQ(std::tuple(layout.nodes[0].edges[EDGE_AHEAD].distance, layout.nodes[1].type),
              std::tuple(7, NODE_STOP));

    ASSERT_EQ(parse("track 1\n0 A sensor 0 1\r2 9 0"), 0) << "the y field hides behind the CR";
    EXPECT_EQ(layout.nodes[0].y, 9);
}

TEST_F(ParserTest, NumbersBeyondTheIntRangeAreHeldAtItsLimits) {
    ASSERT_EQ(parse("track 1\n0 A stop 99999999999999999999 -99999999999999999999 0x7fffffffff 0"),
              0);
    // y is decimal: it reads the 0 before the x.
    EXPECT_EQ(std::tuple(layout.nodes[0].id, layout.nodes[0].x, layout.nodes[0].y),
              std::tuple(2147483647, -2147483647 - 1, 0));
}

} // namespace quillon::testing
