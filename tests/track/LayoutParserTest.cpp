#include "track/LayoutParser.h"

#include <gtest/gtest.h>

#include <string>

namespace quillon::testing {

class LayoutParserTest : public ::testing::Test {
protected:
    ParseResult parse(const std::string& text) {
        return parseTrackLayout(text.c_str(), layout = {});
    }
    TrackLayout layout{};
};

TEST_F(LayoutParserTest, EachFailingFieldFailsWithItsMessage) {
    const std::string head = "track 2\n0 A1 sensor 0 1 2 ";
    // The message is empty for a switch's edge and for the type word.
    const std::pair<std::string, std::string> rows[] = {
        {"", "Could not read initial string.\n"},
        {"trackmodelab 3", "Expected 'track', got 'trackmode'\n"},
        {"track 0", "nodeCount must be positive\n"},
        {"track 73", "nodeCount must be at most 72\n"},
        {"track 1\n1 A sensor 0 0 0 0", "1 is an invalid index\n"},
        {"track 1\n-1 A sensor 0 0 0 0", "-1 is an invalid index\n"},
        {"track 1\n0 A sensor q", "Could not get id\n"},
        {"track 1\n0 A sensor 0 1", "Could not get y coordinate\n"},
        {"track 1\n0 A stop 0 1 2", "Could not get number of edges\n"},
        {"track 1\n0 A sensor 40 1 2 0", "40 is an invalid sensor id\n"},
        {"track 1\n0 A switch 19 1 2 curved 0", "19 is an invalid switch number\n"},
        {head + "1 2", "edge destination 2 out of bounds\n"},
        {head + "1 1 aheadaheadahead 4", "Invalid edge direction aheadahea\n"},
        {"track 1\n0 A stop 0 1 2 1 0 behind 4", "Invalid edge direction behind\n"},
        {"track 1\n0 A bridge 0 1 2 0", ""},
        {"track 1\n0 A switch 1 1 2 curved 1 0 ahead 5", ""},
    };
    for (const auto& [text, message] : rows) {
        ParseResult result = parse(text);
        EXPECT_EQ(result.status, -1) << text;
        EXPECT_EQ(result.message, message) << text;
    }
}

// A tab or CR right after a field hides the next one; CR LF line ends do no
// harm.
TEST_F(LayoutParserTest, TheCursorEndsAFieldOnlyAtASpaceOrLineFeed) {
    ASSERT_EQ(parse("track 1\n0\tA sensor sensor 3 1 2 0\n").status, 0);
    EXPECT_STREQ(layout.nodes[0].name, "sens") << "the type word is read as the name";
    ASSERT_EQ(parse("track 1\n0 A sensor 0 1\r2 9 0").status, 0);
    EXPECT_EQ(layout.nodes[0].y, 9);
    ASSERT_EQ(parse("track 2\r\n0 A sensor 0 1 2 1\r\n  1 ahead 7\r\n1 B stop 1 3 4 0\r\n").status,
              0);
    EXPECT_EQ(layout.nodes[1].type, NODE_STOP);
}

TEST_F(LayoutParserTest, NumbersBeyondTheIntRangeAreHeldAtItsLimits) {
    ASSERT_EQ(
        parse("track 1\n0 A stop 99999999999999999999 -99999999999999999999 0x7fffffffff 0").status,
        0);
    EXPECT_EQ(layout.nodes[0].id, 2147483647);
    EXPECT_EQ(layout.nodes[0].x, -2147483647 - 1);
    EXPECT_EQ(layout.nodes[0].y, 0) << "y is decimal: it reads the 0 of 0x";
}

} // namespace quillon::testing
