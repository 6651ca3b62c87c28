#include "sim/Sensors.h"

#include "sim/InteractionState.h"
#include "support/TrackFixture.h"

#include <climits>
#include <cstring>

namespace quillon {
namespace {

using SensorsTest = testing::TrackFixture;

TEST_F(SensorsTest, AStuckSensorReadsTriggeredForBothNumbersUntilUnstuck) {
    interaction.selectedNode = &node("B3"); // id 9: numbers 18 and 19
    stickSelectedSensor();
    EXPECT_TRUE(isSensorTriggered(18) && isSensorTriggered(19) && isSensorTriggered(-1));
    EXPECT_FALSE(isSensorTriggered(20) || isSensorTriggered(80) || isSensorTriggered(INT_MAX));
    selectLayout(LAYOUT_B);
    EXPECT_FALSE(isSensorTriggered(18)) << "each layout keeps its own flags";
    selectLayout(LAYOUT_A);
    stickSelectedSensor();
    EXPECT_FALSE(isSensorTriggered(18) || isSensorTriggered(19) || isSensorTriggered(-1));

    NodeView before[NODE_VIEWS];
    std::memcpy(before, nodeViews, sizeof before);
    for (TrackNode* selected : {&node("SW5"), &node("DE3"), static_cast<TrackNode*>(nullptr)}) {
        interaction.selectedNode = selected;
        stickSelectedSensor();
        EXPECT_FALSE(isSensorTriggered(-1)) << "no sensor selected";
    }
    EXPECT_EQ(std::memcmp(before, nodeViews, sizeof before), 0);
}

TEST_F(SensorsTest, ATrainWithinFourUnitsPastASensorTriggersItsDirection) {
    // Towards a neighbour of E9 (id 36: ahead to SW8, behind to E13) or just
    // placed there, at a distance; whether numbers 72 and 73 read triggered.
    for (auto [towards, distance, even, odd] : {std::tuple{"E13", 4, false, true},
                                                {"E13", 5, false, false},
                                                {"SW8", 4, true, false},
                                                {"", 0, true, false}}) {
        resetTrains();
        Train& train = *towards ? trainOnSegment(1, "E9", towards) : runningTrain(1, "E9", 0);
        train.held = train.crashed = 1; // neither counts
        train.distance = distance;
        EXPECT_EQ(std::pair(isSensorTriggered(72), isSensorTriggered(73)), std::pair(even, odd))
            << towards << " " << distance;
    }
}

} // namespace
} // namespace quillon
