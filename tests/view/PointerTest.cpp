#include "view/Pointer.h"

#include "link/SensorReport.h"
#include "sim/InteractionState.h"
#include "support/TrackFixture.h"
#include "view/LayoutScaling.h"

namespace quillon {
namespace {

class PointerTest : public testing::TrackFixture {
  protected:
    PointerTest() { rescaleBothLayouts(512, 320); }

    static Train& trainAt(int number, int x, int y) {
        Train& train = *placeTrain(number, node("A1"));
        train.displayX = x, train.displayY = y;
        return train;
    }

    SensorReport report{};
};

TEST_F(PointerTest, NodeReachAndTheLastInTheTable) {
    const TrackNode& a1 = node("A1");
    for (auto [dx, dy, hovered] : {std::tuple{8, 0, true}, {0, -8, true}, {6, 6, false}}) {
        EXPECT_TRUE(updateHoveredNode(a1.x + dx, a1.y + dy)) << "hovered, or a flag cleared";
        EXPECT_EQ(interaction.hoveredNode == &a1, hovered) << dx << "," << dy;
        EXPECT_EQ(nodeView(activeLayout(), a1).hovered, hovered);
    }
    EXPECT_FALSE(updateHoveredNode(0, 0)) << "nothing hovered before, nothing now";

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

TEST_F(PointerTest, ClicksOnASwitchOrASensor) {
    TrackNode& sw = node("SW7");
    ASSERT_EQ(sw.direction, SWITCH_DIR_STRAIGHT);
    updateHoveredNode(sw.x, sw.y);
    for (int button : {BUTTON_LEFT, BUTTON_MIDDLE, BUTTON_RIGHT, BUTTON_LEFT})
        EXPECT_TRUE(handleClick(0, 0, button, report));
    EXPECT_EQ(sw.direction, SWITCH_DIR_STRAIGHT) << "two left clicks toggle it twice";
    EXPECT_EQ(sounds, (std::vector<int>{SOUND_SWITCH, SOUND_SWITCH}));
    EXPECT_EQ(interaction.selectedNode, &sw);

    TrackNode& sensor = node("A7"); // id 3: sensor 6 is bit 0x02 of byte 0, 7 bit 0x01
    updateHoveredNode(sensor.x, sensor.y);
    for (auto [button, byte0, plays] :
         {std::tuple{BUTTON_RIGHT, 0x00, 0u}, {BUTTON_LEFT, 0x02, 1u}, {BUTTON_MIDDLE, 0x01, 1u}}) {
        report.clear();
        sounds.clear();
        EXPECT_TRUE(handleClick(0, 0, button, report));
        EXPECT_EQ(report.bytes[0], byte0) << "button " << button;
        EXPECT_EQ(sounds, std::vector<int>(plays, SOUND_SENSOR));
    }
    EXPECT_EQ(interaction.selectedNode, &sensor);
}

TEST_F(PointerTest, ClicksOnATrainComeFirst) {
    TrackNode& a1 = node("A1");
    TrackNode& sw = node("SW7");
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
    train.speed = 6;
    EXPECT_TRUE(handleClick(0, 0, BUTTON_MIDDLE, report));
    EXPECT_EQ(train.currentNode, &next);
    EXPECT_EQ(train.speed, 6u);

    updateHoveredTrain(0, 0);
    updateHoveredNode(0, 0);
    EXPECT_FALSE(handleClick(0, 0, BUTTON_LEFT, report)) << "nothing under the pointer";
    EXPECT_EQ(selectedTrainNumber(), 9);
}

} // namespace
} // namespace quillon
