#include "sim/Sensors.h"

#include "support/FakeHost.h"

#include <array>
#include <cstring>

namespace quillon::testing {

using SensorsTest = TrackFixture;

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

    auto before = std::to_array(nodeViews);
    for (TrackNode* selected : {&node("SW5"), &node("DE3"), static_cast<TrackNode*>(nullptr)}) {
        interaction.selectedNode = selected;
        stickSelectedSensor();
        EXPECT_FALSE(isSensorTriggered(-1)) << "no sensor selected";
    }
    EXPECT_EQ(std::memcmp(before.data(), nodeViews, sizeof nodeViews), 0);
}

} // namespace quillon::testing
