#include "sim/Trains.h"

#include "link/SensorReport.h"
#include "sim/InteractionState.h"
#include "sim/Movement.h"
#include "sim/TrackFixture.h"

#include <cstring>

namespace quillon {
namespace {

using Sounds = std::vector<int>;

class TrainsTest : public testing::TrackFixture {};

TEST_F(TrainsTest, PlacingAndRemovingKeepTheTableWithoutGaps) {
    Train* first = placeTrain(5, node("A1"));
    placeTrain(6, node("B1"));
    placeTrain(7, node("C1"));
    *first = Train{1, 1, 5, 9, &node("A1"), nullptr, nullptr, 17, 17.5f, 3, 4, 1, 1};
    EXPECT_EQ(placeTrain(5, node("C5")), first); // moves that train, resetting it
    EXPECT_EQ(trainTable.count, 3);
    EXPECT_EQ(first->currentNode, &node("C5"));
    EXPECT_EQ(first->speed + first->held + first->crashed + first->distance, 0u);
    EXPECT_EQ(sounds(), (Sounds{SOUND_TRAIN_PLACED, SOUND_TRAIN_PLACED, SOUND_TRAIN_PLACED,
                                SOUND_TRAIN_MOVED}));

    removeTrain(5);
    removeTrain(99);
    ASSERT_EQ(trainTable.count, 2);
    EXPECT_EQ(trainTable.trains[0].number, 6);
    EXPECT_EQ(trainTable.trains[1].number, 7);
    EXPECT_EQ(trainTable.trains[2].inUse, 0);

    for (int number = 10; trainTable.count < MAX_TRAINS; ++number)
        placeTrain(number, node("A1"));
    sounds().clear();
    EXPECT_EQ(placeTrain(200, node("A3")), nullptr);
    EXPECT_NE(placeTrain(7, node("A3")), nullptr);
    EXPECT_EQ(sounds(), Sounds{SOUND_TRAIN_MOVED});
}

TEST_F(TrainsTest, SelectionOperationsNeedASelection) {
    EXPECT_FALSE(placeTrainAtSelection(12));
    EXPECT_FALSE(removeSelectedTrain());
    interaction.selectedNode = &node("B5");
    EXPECT_TRUE(placeTrainAtSelection(12));
    EXPECT_TRUE(placeTrainAtSelection(22));
    interaction.selectedTrain = interaction.hoveredTrain = trainByNumber(12);
    EXPECT_TRUE(removeSelectedTrain());
    EXPECT_EQ(findTrain(12), -1);
    EXPECT_EQ(trainTable.trains[0].number, 22);
    EXPECT_EQ(interaction.selectedTrain, nullptr);
    EXPECT_EQ(interaction.hoveredTrain, nullptr);
}

TEST_F(TrainsTest, SwitchNumbersReachTheirSlotsAndOthersChangeNothing) {
    for (auto [number, name] :
         {std::pair{1, "SW1"}, {18, "SW18"}, {153, "SW99"}, {156, "SW9C"}, {135, "SW1"}}) {
        TrackNode& sw = node(name);
        sw.direction = SWITCH_DIR_CURVED;
        sounds().clear();
        setSwitch(number, CMD_BYTE_STRAIGHT);
        setSwitch(number, CMD_BYTE_STRAIGHT); // no change, no sound
        EXPECT_EQ(sw.direction, SWITCH_DIR_STRAIGHT) << number;
        EXPECT_EQ(sounds(), Sounds{SOUND_SWITCH}) << number;
    }
    TrackLayout before;
    std::memcpy(&before, &activeLayout(), sizeof before);
    sounds().clear();
    for (int number : {0, 19, 134, 157, 255, -1, 256, 391}) {
        setSwitch(number, CMD_BYTE_STRAIGHT);
        setSwitch(number, CMD_BYTE_CURVED);
    }
    EXPECT_EQ(std::memcmp(&before, &activeLayout(), sizeof before), 0);
    EXPECT_TRUE(sounds().empty());
}

TEST_F(TrainsTest, ReverseTurnsTheTrainRoundWhereItStands) {
    for (bool stopOnReverse : {true, false}) {
        resetTrains();
        Train& train = trainOnSegment(1, "A1", "SW12");
        train.distance = 30;
        train.exactDistance = 30.25f;
        train.crashed = 1;
        setTrainSpeed(1, SPEED_REVERSE, stopOnReverse);
        EXPECT_EQ(train.distance, 188);
        EXPECT_EQ(train.exactDistance, 187.75f);
        EXPECT_EQ(train.currentNode, &node("SW12"));
        EXPECT_EQ(train.nextNode, &node("A1"));
        EXPECT_EQ(train.speed, stopOnReverse ? 0u : 14u);
        EXPECT_EQ(train.crashed, 0);
    }
    // Before its first step a train keeps its way.
    Train& placed = *placeTrain(2, node("A1"));
    setTrainSpeed(2, SPEED_REVERSE, false);
    EXPECT_EQ(placed.currentNode, &node("A1"));
    EXPECT_EQ(placed.nextNode, nullptr);
}

TEST_F(TrainsTest, ATrainHaltedAtAStopTurnsRoundFromTheStopItself) {
    Train& train = runningTrain(1, "A15", 14); // 145 ahead to the stop DE6
    SensorReport report{};
    while (!train.crashed)
        stepTrains(10, report);
    ASSERT_EQ(train.distance, 145);
    ASSERT_GT(train.exactDistance, 145.0f); // the overshoot of the last step
    setTrainSpeed(1, SPEED_REVERSE, false);
    EXPECT_EQ(train.currentNode, &node("DE6"));
    EXPECT_EQ(train.exactDistance, 0.0f);
    stepTrains(10, report);
    EXPECT_EQ(train.distance, 4);
}

TEST_F(TrainsTest, SpeedCommandsFindTheirTrainAndClearItsCrash) {
    Train& train = runningTrain(7, "A1", 0);
    train.crashed = 1;
    setTrainSpeed(7, 0, true); // repeats the current step
    EXPECT_EQ(train.crashed, 0);
    setTrainSpeed(-1, 3, false); // nothing selected
    setTrainSpeed(7, 16, false); // no speed command
    setTrainSpeed(8, 5, false);  // no such train
    EXPECT_EQ(trainSpeed(7), 0);
    EXPECT_EQ(trainSpeed(8), 0);
    interaction.selectedTrain = &train;
    setTrainSpeed(-1, 3, false);
    EXPECT_EQ(trainSpeed(7), 3);
}

} // namespace
} // namespace quillon
