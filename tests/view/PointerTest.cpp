#include "view/Pointer.h"

#include "support/FakeHost.h"

#include <tuple>

namespace quillon::testing {

class PointerTest : public WorldFixture {
protected:
    Train& trainAt(std::int32_t number, int x, int y) {
        Train& train = runningTrain(number, "A1", 0);
        train.displayX = x, train.displayY = y;
        return train;
    }
    bool hoverAndClick(const char* at, PointerButton button) {
        updateHoveredNode(world, node(at).x, node(at).y);
        return handleClick(world, button);
    }
    bool hovered(const char* at) { return world.interaction.hoveredNode == ref(at); }
};

// Each move asks for a repaint: a node is hovered, or A1 was.
TEST_F(PointerTest, ANodeIsWithinEightPixels) {
    for (auto [dx, dy, within] : {std::tuple{8, 0, true}, {0, -8, true}, {6, 6, false}}) {
        EXPECT_TRUE(updateHoveredNode(world, node("A1").x + dx, node("A1").y + dy))
            << dx << "," << dy;
        EXPECT_EQ(hovered("A1"), within) << dx << "," << dy;
    }
    EXPECT_FALSE(updateHoveredNode(world, 0, 0)) << "nothing hovered before, nothing now";
}

TEST_F(PointerTest, TheLastNodeInReachWinsNotTheNearest) {
    Node& later = activeTrack(world.layouts).nodes[5];
    later.x = node("A1").x + 7, later.y = node("A1").y;
    updateHoveredNode(world, node("A1").x, node("A1").y);
    EXPECT_STREQ(name(world.interaction.hoveredNode), later.name);
}

// From (109, 42) train 6 is 11 pixels away, train 5 1 and train 7 12.04.
TEST_F(PointerTest, TheLastTrainWithinTwelvePixelsWinsNotTheNearest) {
    trainAt(5, 110, 42);
    trainAt(6, 120, 42);
    trainAt(7, 100, 50);
    EXPECT_FALSE(retestHoveredTrain(world)) << "the pointer has not moved yet";
    EXPECT_TRUE(updateHoveredTrain(world, 109, 42));
    EXPECT_EQ(world.interaction.hoveredTrain, 1);
    updateHoveredTrain(world, 112, 50);
    EXPECT_EQ(world.interaction.hoveredTrain, 2) << "12 pixels away is within reach";
}

TEST_F(PointerTest, OnlyALeftClickTogglesASwitch) {
    for (PointerButton button : {PointerButton::Left, PointerButton::Middle, PointerButton::Right})
        EXPECT_TRUE(hoverAndClick("SW7", button));
    EXPECT_EQ(node("SW7").direction, SWITCH_DIR_CURVED) << "it was straight";
    EXPECT_STREQ(name(world.interaction.selectedNode), "SW7");
    EXPECT_EQ(takeEvents(), Kinds{EventKind::SwitchChanged});
}

// A7 has id 3: sensor 6 is bit 0x02 of the first byte, sensor 7 bit 0x01.
TEST_F(PointerTest, LeftAndMiddleClicksFireTheSensorsNumbers) {
    for (auto [button, bits, events] : {std::tuple{PointerButton::Left, 0x02, 1},
                                        {PointerButton::Middle, 0x01, 1},
                                        {PointerButton::Right, 0x00, 0}}) {
        world.latched.clear();
        EXPECT_TRUE(hoverAndClick("A7", button));
        EXPECT_EQ(world.latched.bytes[0], bits) << "button " << int(button);
        EXPECT_EQ(takeEvents(), Kinds(events, EventKind::SensorFired)) << "button " << int(button);
    }
}

// A train over SW7, both hovered: the train takes the click.
class TrainClickTest : public PointerTest {
protected:
    TrainClickTest() { updateHoveredNode(world, train.displayX, train.displayY); }
    bool click(PointerButton button) {
        updateHoveredTrain(world, train.displayX, train.displayY);
        return handleClick(world, button);
    }
    Train& train = trainAt(9, node("SW7").x, node("SW7").y);
};

TEST_F(TrainClickTest, ALeftClickSelectsAndHoldsTheTrainNotTheNode) {
    world.interaction.selectedNode = ref("A1");
    EXPECT_TRUE(click(PointerButton::Left));
    EXPECT_EQ(train.held, 1);
    EXPECT_EQ(selectedTrainNumber(world), 9);
    EXPECT_FALSE(world.interaction.selectedNode.isNode());
    EXPECT_EQ(node("SW7").direction, SWITCH_DIR_STRAIGHT) << "the switch under it is untouched";
    click(PointerButton::Left);
    EXPECT_EQ(train.held, 0) << "a second click lets it go";
}

TEST_F(TrainClickTest, AMiddleClickReversesTheTrainKeepingItsStep) {
    train.speed = 6, train.nextNode = ref("SW12"), train.edge = EdgeRef{ref("A1"), EDGE_AHEAD};
    EXPECT_TRUE(click(PointerButton::Middle));
    EXPECT_STREQ(name(train.currentNode), "SW12");
    EXPECT_EQ(train.speed, 6u);
}

} // namespace quillon::testing
