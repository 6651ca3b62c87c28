#include "track/Track.h"

#include <gtest/gtest.h>

namespace quillon::testing {
namespace {

Track withSwitches(std::initializer_list<int> numbers) {
    Track track;
    for (int number : numbers) {
        Node node;
        node.type = NODE_SWITCH;
        node.id = number;
        track.nodes.push_back(node);
    }
    indexTrack(track);
    return track;
}

} // namespace

// Switches 1, 5, 140 and 255: a byte reaches the switch of its number, and
// 135..152 reach switches 1..18 where no switch has the byte's number.
TEST(TrackTest, SwitchBytesReachTheirNumbersThenTheBuiltInsSlots) {
    const Track track = withSwitches({1, 5, 140, 255});
    for (auto [byte, index] : {std::pair{1, 0},
                               {5, 1},
                               {140, 2},
                               {255, 3},
                               {135, 0},
                               {139, 1},
                               {0, NO_INDEX},
                               {2, NO_INDEX},
                               {136, NO_INDEX},
                               {153, NO_INDEX},
                               {-1, NO_INDEX},
                               {256, NO_INDEX}})
        EXPECT_EQ(switchIndexForByte(track, byte), index) << "byte " << byte;
}

// Two sensors report contact 9, the second both ways: the reporters of 9
// list all three ways in node order. Contacts past 495 are dropped, and a
// switch that carries contacts reports none.
TEST(TrackTest, EveryWayThatReportsAContactIsListed) {
    Track track;
    track.nodes.resize(4);
    for (Node& node : track.nodes)
        node.type = NODE_SENSOR;
    track.nodes[0].contacts[WAY_BEHIND] = 9;
    track.nodes[1].contacts[WAY_AHEAD] = track.nodes[1].contacts[WAY_BEHIND] = 9;
    track.nodes[2].contacts[WAY_AHEAD] = 496;
    track.nodes[3].type = NODE_SWITCH;
    track.nodes[3].contacts[WAY_AHEAD] = 9;
    indexTrack(track);
    std::vector<std::pair<int, int>> ways;
    for (int r = track.firstReporter[9]; r != NO_INDEX; r = track.reporters[r].next)
        ways.emplace_back(track.reporters[r].node, track.reporters[r].way);
    EXPECT_EQ(ways,
              (std::vector<std::pair<int, int>>{{0, WAY_BEHIND}, {1, WAY_AHEAD}, {1, WAY_BEHIND}}));
    EXPECT_EQ(track.reporters.size(), 3u) << "496 has no bit in the report";
}

TEST(TrackTest, AnEmptyTrackAddressesNothing) {
    const Track track;
    int reached = 0;
    for (int byte = 0; byte < 256; ++byte)
        reached += switchIndexForByte(track, byte) != NO_INDEX;
    for (int contact = 0; contact < CONTACT_COUNT; ++contact)
        reached += track.firstReporter[contact] != NO_INDEX;
    EXPECT_EQ(reached, 0);
}

} // namespace quillon::testing
