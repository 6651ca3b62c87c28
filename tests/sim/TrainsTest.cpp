#include "sim/Trains.h"

#include "link/SensorReport.h"
#include "sim/InteractionState.h"
#include "sim/Movement.h"
#include "support/TrackFixture.h"

#include <cstring>
#include <tuple>

namespace quillon {
namespace {

using Sounds = std::vector<int>;
using TrainsTest = testing::TrackFixture;

TEST_F(TrainsTest, PlacingAndRemovingKeepTheTableWithoutGaps) {
    Train* first = placeTrain(5, node("A1"));
    placeTrain(6, node("B1"));
    placeTrain(7, node("C1"));
    *first = Train{1, 1, 5, 9, &node("A1"), nullptr, nullptr, 17, 17.5f, 3, 4, 1, 1};
    EXPECT_EQ(placeTrain(5, node("C5")), first) << "a placed number moves that train";
    EXPECT_EQ(std::tuple(first->currentNode, first->speed + first->held + first->crashed),
              std::tuple(&node("C5"), 0u));
    EXPECT_EQ(sounds, (Sounds{SOUND_TRAIN_PLACED, SOUND_TRAIN_PLACED, SOUND_TRAIN_PLACED,
                              SOUND_TRAIN_MOVED}));

    interaction.selectedTrain = interaction.hoveredTrain = first;
    EXPECT_TRUE(removeSelectedTrain());
    EXPECT_FALSE(removeSelectedTrain());
    removeTrain(99);
    EXPECT_EQ(std::tuple(trainTable.count, trainTable.trains[0].number, trainTable.trains[1].number,
                         trainTable.trains[2].inUse, interaction.hoveredTrain),
              std::tuple(2, 6, 7, 0, nullptr));

    for (int number = 10; trainTable.count < MAX_TRAINS; ++number)
        placeTrain(number, node("A1"));
    sounds.clear();
    EXPECT_EQ(placeTrain(200, node("A3")), nullptr) << "the table is full";
    EXPECT_NE(placeTrain(7, node("A3")), nullptr);
    EXPECT_EQ(sounds, Sounds{SOUND_TRAIN_MOVED});
}

TEST_F(TrainsTest, SwitchNumbersReachTheirSlotsAndOthersChangeNothing) {
    for (auto [number, name] :
         {std::pair{1, "SW1"}, {18, "SW18"}, {153, "SW99"}, {156, "SW9C"}, {135, "SW1"}}) {
        node(name).direction = SWITCH_DIR_CURVED;
        sounds.clear();
        setSwitch(number, CMD_BYTE_STRAIGHT);
        setSwitch(number, CMD_BYTE_STRAIGHT); // no change, no sound
        EXPECT_EQ(node(name).direction, SWITCH_DIR_STRAIGHT) << number;
        EXPECT_EQ(sounds, Sounds{SOUND_SWITCH}) << number;
    }
    TrackLayout before;
    std::memcpy(&before, &activeLayout(), sizeof before);
    sounds.clear();
    for (int number : {0, 19, 134, 157, 255, -1, 256, 391}) {
        setSwitch(number, CMD_BYTE_STRAIGHT);
        setSwitch(number, CMD_BYTE_CURVED);
    }
    EXPECT_EQ(std::memcmp(&before, &activeLayout(), sizeof before), 0);
    EXPECT_TRUE(sounds.empty());
}

TEST_F(TrainsTest, ReverseTurnsTheTrainRoundWhereItStands) {
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
    Train& placed = *placeTrain(2, node("A1"));
    setTrainSpeed(2, SPEED_REVERSE, false);
    EXPECT_EQ(placed.nextNode, nullptr) << "before its first step a train keeps its way";

    resetTrains();
    Train& halted = runningTrain(3, "A15", 14); // to the stop DE6, 145 on
    SensorReport report{};
    while (!halted.crashed)
        stepTrains(10, report);
    ASSERT_GT(halted.exactDistance, 145.0f) << "the overshoot of its last step";
    setTrainSpeed(3, SPEED_REVERSE, false);
    EXPECT_EQ(std::tuple(halted.currentNode, halted.exactDistance), std::tuple(&node("DE6"), 0.0f))
        << "it turns round from the stop itself";
}

TEST_F(TrainsTest, SpeedCommandsFindTheirTrainAndClearItsCrash) {
    Train& train = runningTrain(7, "A1", 0);
    train.crashed = 1;
    setTrainSpeed(7, 0, true);
    EXPECT_EQ(train.crashed, 0);
    setTrainSpeed(-1, 3, false); // nothing selected
    setTrainSpeed(7, 16, false); // no speed command
    setTrainSpeed(8, 5, false);  // no such train
    EXPECT_EQ(std::pair(trainSpeed(7), trainSpeed(8)), std::pair(0, 0));
    interaction.selectedTrain = &train;
    setTrainSpeed(-1, 3, false);
    EXPECT_EQ(trainSpeed(7), 3);
}

} // namespace
} // namespace quillon
