#include "sim/Trains.h"

#include "protocol/CommandDecoder.h"
#include "support/FakeHost.h"
#include "support/LineTrack.h"

#include <array>
#include <cstring>
#include <tuple>

namespace quillon::testing {

using TrainsTest = WorldFixture;

TEST_F(TrainsTest, APlacedNumberMovesThatTrainAfresh) {
    Train* first = &runningTrain(5, "A1", 9);
    placeTrain(world, 6, ref("B1"));
    EXPECT_EQ(placeTrain(world, 5, ref("C5")), first) << "the same record";
    EXPECT_STREQ(name(first->currentNode), "C5");
    EXPECT_EQ(first->speed, 0u);
    EXPECT_EQ(first->displayX, node("C5").x) << "shown on its node";
    EXPECT_EQ(takeEvents(),
              (Kinds{EventKind::TrainPlaced, EventKind::TrainPlaced, EventKind::TrainMoved}));
}

// Trains 5, 6 and 7 in slots 0..2, train 7 hovered: its slot moves with it.
TEST_F(TrainsTest, RemovingATrainKeepsTheOthersInOrderAndTheHoverOnItsTrain) {
    for (int number : {5, 6, 7})
        placeTrain(world, number, ref("A1"));
    world.interaction.hoveredTrain = 2;
    removeTrain(world, 5);
    EXPECT_EQ(world.trains.count, 2);
    EXPECT_EQ(world.trains.trains[0].number, 6);
    EXPECT_EQ(world.trains.trains[1].number, 7);
    EXPECT_EQ(world.trains.trains[2].inUse, 0) << "the vacated record";
    EXPECT_EQ(world.interaction.hoveredTrain, 1);
}

TEST_F(TrainsTest, AFullTableTakesNoNewNumberButStillMovesAPlacedTrain) {
    for (int number = 0; number < MAX_TRAINS; ++number)
        placeTrain(world, number, ref("A1"));
    takeEvents();
    EXPECT_EQ(world.trains.count, MAX_TRAINS);
    EXPECT_EQ(placeTrain(world, 200, ref("A3")), nullptr);
    EXPECT_EQ(world.events.count, 0) << "a refused train records nothing";
    EXPECT_NE(placeTrain(world, 6, ref("A3")), nullptr);
}

TEST_F(TrainsTest, SwitchNumbersReachTheirSlotsAndAChangeIsRecordedOnce) {
    for (auto [number, name] :
         {std::pair{1, "SW1"}, {18, "SW18"}, {153, "SW99"}, {156, "SW9C"}, {135, "SW1"}}) {
        node(name).direction = SWITCH_DIR_CURVED;
        takeEvents();
        const std::uint32_t revision = world.layouts.tracks[LAYOUT_A].revision;
        setSwitch(world, number, SWITCH_DIR_STRAIGHT);
        setSwitch(world, number, SWITCH_DIR_STRAIGHT);
        EXPECT_EQ(node(name).direction, SWITCH_DIR_STRAIGHT) << number;
        EXPECT_EQ(world.layouts.tracks[LAYOUT_A].revision, revision + 1)
            << "redrawn once, " << number;
        EXPECT_EQ(world.events.events[0].a, node(name).id) << "the number of " << number;
        EXPECT_EQ(takeEvents(), Kinds{EventKind::SwitchChanged}) << number;
    }
}

// 30.25 of 218 units from A1 towards SW12, 11 pixels from A1.
TEST_F(TrainsTest, ReverseTurnsTheTrainRoundWhereItStandsAndClearsItsCrash) {
    for (bool stopOnReverse : {true, false}) {
        world = makeWorld();
        Train& train = runningTrain(1, "A1", 14, "SW12");
        train.distance = 30, train.exactDistance = 30.25f, train.crashed = 1;
        setTrainSpeed(world, 1, SPEED_REVERSE, stopOnReverse);
        EXPECT_STREQ(name(train.currentNode), "SW12");
        EXPECT_STREQ(name(train.nextNode), "A1");
        EXPECT_EQ(train.distance, 188);
        EXPECT_FLOAT_EQ(train.exactDistance, 187.75f);
        EXPECT_EQ(train.displayX, 111) << "where it stood";
        EXPECT_EQ(train.speed, stopOnReverse ? 0u : 14u) << "stop on reverse " << stopOnReverse;
        EXPECT_EQ(train.crashed, 0);
    }
}

// An edge without length leaves the train at its current node.
TEST_F(TrainsTest, TheDisplayPositionLiesOnTheSegmentAtTheTrainsDistance) {
    Train& train = runningTrain(1, "A1", 14, "SW12");
    node("A1").y = node("SW12").y = 70;
    for (auto [ax, bx, length, distance, x] :
         {std::array{100, 300, 400, 200, 200}, {100, 200, 3, 1, 133}, {100, 300, 0, 5, 100}}) {
        node("A1").x = ax, node("SW12").x = bx;
        edgeAt(world, train.edge).distance = length;
        train.distance = distance;
        updateDisplayPosition(world, train);
        EXPECT_EQ(train.displayX, x) << distance << " of " << length;
        EXPECT_EQ(train.displayY, 70) << distance << " of " << length;
    }
}

// Where a train on X sets off: placed ahead or behind, and turned by a
// reverse before it moves in the full set only.
TEST_F(TrainsTest, APlacedTrainSetsOffTheWayItFaces) {
    for (auto [behind, set, reversed, towards] :
         {std::tuple{false, CommandSet::Basic, false, LINE_Y},
          {true, CommandSet::Basic, false, LINE_S0},
          {false, CommandSet::Basic, true, LINE_Y},
          {false, CommandSet::Full, true, LINE_S0},
          {true, CommandSet::Full, true, LINE_Y}}) {
        loadLine(world, {0, 1}, {2, 3});
        placeTrain(world, 4, lineRef(LINE_X), behind);
        CommandDecoder decoder;
        decoder.commandSet = set;
        const std::uint8_t reverse[2] = {CMD_REVERSE, 4}, go[2] = {8, 4};
        if (reversed)
            decodeCommands(decoder, world, reverse, 2);
        decodeCommands(decoder, world, go, 2);
        stepTrains(world, 10);
        EXPECT_EQ(world.trains.trains[0].nextNode, lineRef(towards))
            << "behind " << behind << ", full " << (set == CommandSet::Full) << ", reversed "
            << reversed;
    }
}

} // namespace quillon::testing
