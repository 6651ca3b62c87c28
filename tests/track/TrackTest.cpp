#include "track/Track.h"

#include <gtest/gtest.h>

#include <tuple>

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

// A sensor reports the contact of each way; any other node reports none,
// whatever its contacts hold.
TEST(TrackTest, OnlyASensorReportsContacts) {
    Node node;
    node.contacts[WAY_AHEAD] = 7;
    node.contacts[WAY_BEHIND] = 9;
    for (auto [type, ahead, behind] : {std::tuple{NODE_SENSOR, 7, 9},
                                       {NODE_SWITCH, NO_CONTACT, NO_CONTACT},
                                       {NODE_STOP, NO_CONTACT, NO_CONTACT}}) {
        node.type = type;
        EXPECT_EQ(contactOf(node, WAY_AHEAD), ahead) << "type " << type;
        EXPECT_EQ(contactOf(node, WAY_BEHIND), behind) << "type " << type;
    }
}

TEST(TrackTest, AnEmptyTrackAddressesNothing) {
    const Track track;
    int reached = 0;
    for (int byte = 0; byte < 256; ++byte)
        reached += switchIndexForByte(track, byte) != NO_INDEX;
    EXPECT_EQ(reached, 0);
}

} // namespace quillon::testing
