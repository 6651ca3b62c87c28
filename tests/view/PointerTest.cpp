#include "view/Pointer.h"

#include "link/SensorReport.h"
#include "sim/InteractionState.h"
#include "sim/Trains.h"
#include "support/FakeHost.h"
#include "track/BuiltinLayouts.h"
#include "view/LayoutScaling.h"

#include <gtest/gtest.h>

namespace quillon {
namespace {

using testing::nodeNamed;

class PointerTest : public ::testing::Test {
  protected:
    PointerTest() {
        loadBuiltinLayouts();
        rescaleBothLayouts(512, 320);
        report.clear();
    }

    Train& trainAt(int number, int x, int y) {
        Train* train = placeTrain(number, nodeNamed("A1"));
        train->displayX = x, train->displayY = y;
        return *train;
    }

    testing::HostScope scope;
    SensorReport report;
};

TEST_F(PointerTest, NodeReachAndTheLastInTheTable) {
    const TrackNode& a1 = nodeNamed("A1");
    for (auto [dx, dy, hovered] : {std::tuple{8, 0, true}, {0, -8, true}, {6, 6, false}}) {
        updateHoveredNode(a1.x + dx, a1.y + dy);
        EXPECT_EQ(interaction.hoveredNode == &a1, hovered) << dx << "," << dy;
        EXPECT_EQ(nodeView(activeLayout(), a1).hovered, hovered);
    }
    EXPECT_TRUE(updateHoveredNode(a1.x, a1.y));
    EXPECT_TRUE(updateHoveredNode(a1.x + 1, a1.y)) << "every movement over a node repaints";
    EXPECT_TRUE(updateHoveredNode(0, 0)) << "leaving it repaints once";
    EXPECT_FALSE(updateHoveredNode(0, 0));

    TrackNode& later = activeLayout().nodes[5];
    later.x = a1.x + 7, later.y = a1.y;
    updateHoveredNode(a1.x, a1.y);
    EXPECT_EQ(interaction.hoveredNode, &later) << "the last within reach wins, not the nearest";
    EXPECT_FALSE(nodeView(activeLayout(), a1).hovered);
}

TEST_F(PointerTest, TrainReachAndTheLastPosition) {
    EXPECT_FALSE(updateHoveredTrain(-1, -1)) << "no position before the first movement";
    Train& train = trainAt(5, 100, 50);
    EXPECT_TRUE(updateHoveredTrain(112, 50));
    EXPECT_EQ(interaction.hoveredTrain, &train);
    EXPECT_TRUE(updateHoveredTrain(109, 42)); // about 12.04 pixels: the flag goes
    EXPECT_EQ(interaction.hoveredTrain, nullptr);
    EXPECT_FALSE(train.hovered);
    train.displayX = 110; // the train moves under the still pointer
    EXPECT_TRUE(updateHoveredTrain(-1, -1));
    EXPECT_EQ(interaction.hoveredTrain, &train);
    Train& later = trainAt(6, 115, 42);
    updateHoveredTrain(109, 42);
    EXPECT_EQ(interaction.hoveredTrain, &later);
    EXPECT_FALSE(train.hovered);
}

TEST_F(PointerTest, ClicksOnASwitch) {
    TrackNode& sw = nodeNamed("SW7");
    ASSERT_EQ(sw.direction, SWITCH_DIR_STRAIGHT);
    updateHoveredNode(sw.x, sw.y);
    EXPECT_TRUE(handleClick(0, 0, BUTTON_LEFT, report));
    EXPECT_EQ(sw.direction, SWITCH_DIR_CURVED);
    EXPECT_TRUE(handleClick(0, 0, BUTTON_LEFT, report));
    EXPECT_TRUE(handleClick(0, 0, BUTTON_MIDDLE, report));
    EXPECT_TRUE(handleClick(0, 0, BUTTON_RIGHT, report));
    EXPECT_EQ(sw.direction, SWITCH_DIR_STRAIGHT);
    EXPECT_EQ(scope.host.sounds, (std::vector<int>{SOUND_SWITCH, SOUND_SWITCH}));
    EXPECT_EQ(interaction.selectedNode, &sw);
}

TEST_F(PointerTest, ClicksOnASensorFireItsNumbers) {
    TrackNode& sensor = nodeNamed("A7");
    ASSERT_EQ(sensor.id, 3);
    updateHoveredNode(sensor.x, sensor.y);
    // Sensor 6 is bit 0x02 of byte 0, sensor 7 bit 0x01.
    for (auto [button, byte0, sounds] :
         {std::tuple{BUTTON_RIGHT, 0x00, 0u}, {BUTTON_LEFT, 0x02, 1u}, {BUTTON_MIDDLE, 0x01, 1u}}) {
        report.clear();
        scope.host.sounds.clear();
        EXPECT_TRUE(handleClick(0, 0, button, report));
        EXPECT_EQ(report.bytes[0], byte0) << "button " << button;
        EXPECT_EQ(scope.host.sounds, std::vector<int>(sounds, SOUND_SENSOR));
    }
}

TEST_F(PointerTest, ClicksOnATrainComeFirst) {
    TrackNode& a1 = nodeNamed("A1");
    TrackNode& sw = nodeNamed("SW7");
    Train& train = trainAt(9, sw.x, sw.y);
    updateHoveredNode(sw.x, sw.y);
    updateHoveredTrain(sw.x, sw.y);
    EXPECT_TRUE(handleClick(0, 0, BUTTON_LEFT, report));
    EXPECT_TRUE(train.held);
    EXPECT_EQ(sw.direction, SWITCH_DIR_STRAIGHT) << "the switch under the train is untouched";
    EXPECT_EQ(interaction.selectedNode, nullptr);
    EXPECT_EQ(selectedTrainNumber(), 9);

    // A middle click reverses a running train on its segment, keeping its step.
    TrackNode& next = activeLayout().nodes[a1.edges[EDGE_AHEAD].dest];
    train.currentNode = &a1, train.nextNode = &next, train.edge = &a1.edges[EDGE_AHEAD];
    train.distance = 30, train.exactDistance = 30.0f, train.speed = 6;
    EXPECT_TRUE(handleClick(0, 0, BUTTON_MIDDLE, report));
    EXPECT_EQ(train.currentNode, &next);
    EXPECT_EQ(train.speed, 6u);

    // Nothing under the pointer: false, and the selection stays.
    updateHoveredTrain(0, 0);
    updateHoveredNode(0, 0);
    EXPECT_FALSE(handleClick(0, 0, BUTTON_LEFT, report));
    EXPECT_EQ(selectedTrainNumber(), 9);
}

} // namespace
} // namespace quillon
