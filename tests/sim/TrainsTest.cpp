#include "sim/Trains.h"

#include "support/FakeHost.h"

#include <cstring>

namespace quillon::testing {

using TrainsTest = TrackFixture;

TEST_F(TrainsTest, PlacingAndRemovingKeepTheTableWithoutGaps) {
    Train* first = placeTrain(5, node("A1"));
    placeTrain(6, node("B1"));
    first->speed = 9;
    EXPECT_EQ(placeTrain(5, node("C5")), first) << "a placed number moves that train, afresh";
    EXPECT_EQ(std::tuple(first->currentNode, first->speed), std::tuple(&node("C5"), 0u));
    EXPECT_EQ(sounds, (Sounds{SOUND_TRAIN_PLACED, SOUND_TRAIN_PLACED, SOUND_TRAIN_MOVED}));
    interaction.selectedTrain = interaction.hoveredTrain = first;
    EXPECT_TRUE(removeSelectedTrain());
    EXPECT_EQ(std::tuple(trainTable.count, trainTable.trains[0].number, trainTable.trains[1].inUse,
                         interaction.hoveredTrain),
              std::tuple(1, 6, 0, nullptr));
    for (int number = 10; trainTable.count < MAX_TRAINS; ++number)
        placeTrain(number, node("A1"));
    EXPECT_EQ(placeTrain(200, node("A3")), nullptr) << "the table is full";
    EXPECT_NE(placeTrain(6, node("A3")), nullptr) << "but a placed train still moves";
}

TEST_F(TrainsTest, SwitchNumbersReachTheirSlotsAndOthersChangeNothing) {
    for (auto [number, name] :
         {std::pair{1, "SW1"}, {18, "SW18"}, {153, "SW99"}, {156, "SW9C"}, {135, "SW1"}}) {
        node(name).direction = SWITCH_DIR_CURVED;
        sounds.clear();
        setSwitch(number, CMD_BYTE_STRAIGHT);
        setSwitch(number, CMD_BYTE_STRAIGHT); // no change, no sound
        EXPECT_EQ(std::tuple(node(name).direction, sounds),
                  std::tuple(SWITCH_DIR_STRAIGHT, Sounds{SOUND_SWITCH}))
            << number;
    }
    const TrackLayout before = activeLayout();
    sounds.clear();
    for (int number : {0, 19, 134, 157, 255, -1, 256, 391})
        setSwitch(number, CMD_BYTE_STRAIGHT), setSwitch(number, CMD_BYTE_CURVED);
    EXPECT_EQ(std::tuple(std::memcmp(&before, &activeLayout(), sizeof before), sounds.size()),
              std::tuple(0, 0u));
}

TEST_F(TrainsTest, ReverseTurnsTheTrainRoundWhereItStandsAndClearsItsCrash) {
    for (bool stopOnReverse : {true, false}) {
        resetTrains();
        Train& train = trainOnSegment(1, "A1", "SW12");
        train.distance = 30, train.exactDistance = 30.25f, train.crashed = 1;
        setTrainSpeed(1, SPEED_REVERSE, stopOnReverse);
        EXPECT_EQ(
            std::tuple(train.distance, train.exactDistance, train.currentNode, train.nextNode,
                       train.speed, train.crashed),
            std::tuple(188, 187.75f, &node("SW12"), &node("A1"), stopOnReverse ? 0u : 14u, 0));
    }
}

} // namespace quillon::testing
