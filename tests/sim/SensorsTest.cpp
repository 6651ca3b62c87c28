#include "sim/Sensors.h"

#include "sim/InteractionState.h"
#include "sim/TrackFixture.h"

#include <climits>
#include <cstring>

namespace quillon {
namespace {

class SensorsTest : public testing::TrackFixture {};

TEST_F(SensorsTest, AStuckSensorReadsTriggeredForBothNumbersUntilUnstuck) {
    interaction.selectedNode = &node("B3"); // id 9: numbers 18 and 19
    stickSelectedSensor();
    EXPECT_TRUE(isSensorTriggered(18) && isSensorTriggered(19) && isSensorTriggered(-1));
    EXPECT_FALSE(isSensorTriggered(20));
    selectLayout(LAYOUT_B); // each layout keeps its own flags
    EXPECT_FALSE(isSensorTriggered(18));
    selectLayout(LAYOUT_A);
    stickSelectedSensor();
    EXPECT_FALSE(isSensorTriggered(18) || isSensorTriggered(19) || isSensorTriggered(-1));
}

TEST_F(SensorsTest, NoSensorIsReadOutsideTheSelectionOrTheReport) {
    NodeView before[NODE_VIEWS];
    std::memcpy(before, nodeViews, sizeof before);
    for (TrackNode* selected : {&node("SW5"), &node("DE3"), static_cast<TrackNode*>(nullptr)}) {
        interaction.selectedNode = selected;
        stickSelectedSensor();
        EXPECT_FALSE(isSensorTriggered(-1));
    }
    EXPECT_EQ(std::memcmp(before, nodeViews, sizeof before), 0);

    for (NodeView& view : nodeViews)
        view.stuck = 1;
    for (std::int32_t n : {-1, INT_MIN, 80, 256, INT_MAX})
        EXPECT_FALSE(isSensorTriggered(n)) << n;
}

TEST_F(SensorsTest, ATrainWithinFourUnitsPastASensorTriggersItsDirection) {
    struct Row {
        const char* towards; // E9 (id 36): ahead to SW8, behind to E13
        std::int32_t distance;
        bool even, odd; // numbers 72 and 73
    };
    for (Row row :
         {Row{"E13", 4, false, true}, Row{"E13", 5, false, false}, Row{"SW8", 4, true, false},
          Row{"SW8", 5, false, false}, Row{nullptr, 0, true, false}}) {
        resetTrains();
        Train& train =
            row.towards ? trainOnSegment(1, "E9", row.towards) : runningTrain(1, "E9", 0);
        train.held = train.crashed = 1; // neither counts
        train.distance = row.distance;
        EXPECT_EQ(isSensorTriggered(72), row.even) << (row.towards ? row.towards : "placed");
        EXPECT_EQ(isSensorTriggered(73), row.odd) << row.distance;
    }
}

} // namespace
} // namespace quillon
