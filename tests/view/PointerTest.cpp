#include "view/Pointer.h"

#include "support/FakeHost.h"

namespace quillon::testing {

using PointerTest = TrackFixture;

static Train& trainAt(int number, int x, int y) {
    Train& train = *placeTrain(number, nodeNamed("A1"));
    train.displayX = x, train.displayY = y;
    return train;
}

TEST_F(PointerTest, NodeReachAndTheLastInTheTable) {
    const TrackNode& a1 = node("A1");
    for (auto [dx, dy, hovered] : {std::tuple{8, 0, true}, {0, -8, true}, {6, 6, false}}) {
        EXPECT_TRUE(updateHoveredNode(a1.x + dx, a1.y + dy)) << "hovered, or a flag cleared";
        EXPECT_EQ(std::tuple(interaction.hoveredNode == &a1, nodeView(activeLayout(), a1).hovered),
                  std::tuple(hovered, std::uint8_t{hovered}))
            << dx << "," << dy;
    }
    EXPECT_FALSE(updateHoveredNode(0, 0)) << "nothing hovered before, nothing now";
    TrackNode& later = activeLayout().nodes[5];
    later.x = a1.x + 7, later.y = a1.y;
    updateHoveredNode(a1.x, a1.y);
    EXPECT_EQ(std::tuple(interaction.hoveredNode, nodeView(activeLayout(), a1).hovered),
              std::tuple(&later, std::uint8_t{0}))
        << "the last within reach wins, not the nearest";
}

TEST_F(PointerTest, TrainReachAndTheLastInTheTable) {
    Train& train = trainAt(5, 100, 50);
    updateHoveredTrain(112, 50);
    EXPECT_EQ(interaction.hoveredTrain, &train);
    EXPECT_TRUE(updateHoveredTrain(109, 42)) << "about 12.04 pixels: the flag goes";
    EXPECT_EQ(std::tuple(interaction.hoveredTrain, train.hovered), std::tuple(nullptr, 0));
    Train& later = trainAt(6, 120, 42); // farther than train, but later in the table
    train.displayX = 110;
    updateHoveredTrain(109, 42);
    EXPECT_EQ(std::tuple(interaction.hoveredTrain, train.hovered), std::tuple(&later, 0));
}

TEST_F(PointerTest, ClicksOnASwitchOrASensor) {
    TrackNode& sw = node("SW7");
    updateHoveredNode(sw.x, sw.y);
    for (int button : {BUTTON_LEFT, BUTTON_MIDDLE, BUTTON_RIGHT, BUTTON_LEFT})
        EXPECT_TRUE(handleClick(0, 0, button, report));
    EXPECT_EQ(std::tuple(sw.direction, sounds, interaction.selectedNode),
              std::tuple(SWITCH_DIR_STRAIGHT, Sounds{SOUND_SWITCH, SOUND_SWITCH}, &sw))
        << "two left clicks toggle it twice";

    TrackNode& sensor = node("A7"); // id 3: sensor 6 is bit 0x02 of byte 0, 7 bit 0x01
    updateHoveredNode(sensor.x, sensor.y);
    for (auto [button, byte0, plays] :
         {std::tuple{BUTTON_RIGHT, 0x00, 0u}, {BUTTON_LEFT, 0x02, 1u}, {BUTTON_MIDDLE, 0x01, 1u}}) {
        report.clear();
        sounds.clear();
        EXPECT_TRUE(handleClick(0, 0, button, report));
        EXPECT_EQ(std::tuple(report.bytes[0], sounds, interaction.selectedNode),
                  std::tuple(byte0, Sounds(plays, SOUND_SENSOR), &sensor))
            << "button " << button;
    }
}

TEST_F(PointerTest, ClicksOnATrainComeFirst) {
    TrackNode &a1 = node("A1"), &sw = node("SW7");
    Train& train = trainAt(9, sw.x, sw.y);
    updateHoveredNode(sw.x, sw.y);
    updateHoveredTrain(sw.x, sw.y);
    EXPECT_TRUE(handleClick(0, 0, BUTTON_LEFT, report));
    // Held, selected, and the switch under the train untouched.
    EXPECT_EQ(std::tuple(train.held, selectedTrainNumber(), interaction.selectedNode, sw.direction),
              std::tuple(1, 9, nullptr, SWITCH_DIR_STRAIGHT));
    // A middle click reverses a running train on its segment, keeping its step.
    train.currentNode = &a1, train.nextNode = &node("SW12"), train.edge = &a1.edges[EDGE_AHEAD];
    train.speed = 6;
    EXPECT_TRUE(handleClick(0, 0, BUTTON_MIDDLE, report));
    EXPECT_EQ(std::tuple(train.currentNode, train.speed), std::tuple(&node("SW12"), 6u));
}

} // namespace quillon::testing
