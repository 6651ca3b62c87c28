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

    int hoveredCount() {
        int count = 0;
        for (int i = 0; i < activeLayout().nodeCount; ++i)
            count += nodeView(activeLayout(), activeLayout().nodes[i]).hovered;
        return count;
    }

    Train& trainAt(int number, int x, int y) {
        Train* train = placeTrain(number, nodeNamed("A1"));
        train->displayX = x;
        train->displayY = y;
        return *train;
    }

    testing::HostScope scope;
    SensorReport report;
};

TEST_F(PointerTest, NodeReachIsEightPixelsInclusive) {
    const TrackNode& a1 = nodeNamed("A1");
    struct Row {
        int dx, dy;
        bool hovered;
    };
    for (Row row : {Row{8, 0, true}, Row{0, -8, true}, Row{6, 6, false}, Row{9, 0, false}}) {
        bool repaint = updateHoveredNode(a1.x + row.dx, a1.y + row.dy);
        EXPECT_EQ(interaction.hoveredNode == &a1, row.hovered) << row.dx << "," << row.dy;
        EXPECT_EQ(repaint, row.hovered);
        EXPECT_EQ(hoveredCount(), row.hovered ? 1 : 0);
    }
    // Every movement over a node asks for a repaint; leaving it once more.
    EXPECT_TRUE(updateHoveredNode(a1.x, a1.y));
    EXPECT_TRUE(updateHoveredNode(a1.x + 1, a1.y));
    EXPECT_TRUE(updateHoveredNode(0, 0));
    EXPECT_FALSE(updateHoveredNode(0, 0));
}

TEST_F(PointerTest, LastNodeInTableWinsOverNearest) {
    TrackNode& first = activeLayout().nodes[0];
    TrackNode& later = activeLayout().nodes[5];
    later.x = first.x + 7;
    later.y = first.y;
    updateHoveredNode(first.x, first.y);
    EXPECT_EQ(interaction.hoveredNode, &later);
    EXPECT_EQ(hoveredCount(), 1);
}

TEST_F(PointerTest, TrainReachAndLastPosition) {
    EXPECT_FALSE(updateHoveredTrain(-1, -1)) << "no position before the first movement";
    Train& train = trainAt(5, 100, 50);
    EXPECT_TRUE(updateHoveredTrain(112, 50));
    EXPECT_EQ(interaction.hoveredTrain, &train);
    EXPECT_TRUE(train.hovered);
    EXPECT_TRUE(updateHoveredTrain(109, 42)) << "the flag is cleared at about 12.04 pixels";
    EXPECT_EQ(interaction.hoveredTrain, nullptr);
    EXPECT_FALSE(train.hovered);

    // A train moving under the still pointer is tested at the last position.
    train.displayX = 110;
    EXPECT_TRUE(updateHoveredTrain(-1, -1));
    EXPECT_EQ(interaction.hoveredTrain, &train);
    EXPECT_EQ(interaction.lastPointerX, 109);
    EXPECT_EQ(interaction.lastPointerY, 42);

    Train& later = trainAt(6, 115, 42);
    updateHoveredTrain(109, 42);
    EXPECT_EQ(interaction.hoveredTrain, &later) << "the last in the table wins";
    EXPECT_FALSE(train.hovered);
}

TEST_F(PointerTest, LeftClicksToggleASwitch) {
    TrackNode& sw = nodeNamed("SW7");
    ASSERT_EQ(sw.direction, SWITCH_DIR_STRAIGHT);
    updateHoveredNode(sw.x, sw.y);
    EXPECT_TRUE(handleClick(0, 0, BUTTON_LEFT, report));
    EXPECT_EQ(sw.direction, SWITCH_DIR_CURVED);
    EXPECT_TRUE(handleClick(0, 0, BUTTON_LEFT, report));
    EXPECT_EQ(sw.direction, SWITCH_DIR_STRAIGHT);
    EXPECT_TRUE(handleClick(0, 0, BUTTON_MIDDLE, report));
    EXPECT_TRUE(handleClick(0, 0, BUTTON_RIGHT, report));
    EXPECT_EQ(sw.direction, SWITCH_DIR_STRAIGHT);
    EXPECT_EQ(scope.host.sounds, (std::vector<int>{SOUND_SWITCH, SOUND_SWITCH}));
    EXPECT_EQ(interaction.selectedNode, &sw);
}

TEST_F(PointerTest, ClicksFireASensor) {
    TrackNode& sensor = nodeNamed("A7");
    ASSERT_EQ(sensor.id, 3);
    updateHoveredNode(sensor.x, sensor.y);
    struct Row {
        int button;
        std::uint8_t byte0;
        bool sound;
    };
    for (Row row : {Row{BUTTON_RIGHT, 0x00, false}, Row{BUTTON_LEFT, 0x02, true},
                    Row{BUTTON_MIDDLE, 0x01, true}}) {
        report.clear();
        scope.host.sounds.clear();
        EXPECT_TRUE(handleClick(0, 0, row.button, report));
        EXPECT_EQ(report.bytes[0], row.byte0) << "button " << row.button;
        EXPECT_EQ(scope.host.sounds.size(), row.sound ? 1u : 0u);
        if (row.sound)
            EXPECT_EQ(scope.host.sounds[0], SOUND_SENSOR);
    }
}

TEST_F(PointerTest, ClicksOnATrainComeFirst) {
    TrackNode& sw = nodeNamed("SW7");
    Train& train = trainAt(9, sw.x, sw.y);
    updateHoveredNode(sw.x, sw.y);
    updateHoveredTrain(sw.x, sw.y);
    interaction.selectedNode = &sw;

    EXPECT_TRUE(handleClick(0, 0, BUTTON_LEFT, report));
    EXPECT_TRUE(train.held);
    EXPECT_EQ(sw.direction, SWITCH_DIR_STRAIGHT) << "the switch under the train is untouched";
    EXPECT_EQ(interaction.selectedTrain, &train);
    EXPECT_EQ(interaction.selectedNode, nullptr);
    EXPECT_EQ(selectedTrainNumber(), 9);
    EXPECT_TRUE(handleClick(0, 0, BUTTON_LEFT, report));
    EXPECT_FALSE(train.held);

    // A middle click reverses a running train on its segment, keeping its step.
    TrackNode& a1 = nodeNamed("A1");
    TrackNode& next = activeLayout().nodes[a1.edges[EDGE_AHEAD].dest];
    train.currentNode = &a1, train.nextNode = &next, train.edge = &a1.edges[EDGE_AHEAD];
    train.distance = 30, train.exactDistance = 30.0f, train.speed = 6;
    EXPECT_TRUE(handleClick(0, 0, BUTTON_MIDDLE, report));
    EXPECT_EQ(train.currentNode, &next);
    EXPECT_EQ(train.distance, a1.edges[EDGE_AHEAD].distance - 30);
    EXPECT_EQ(train.speed, 6u);
    EXPECT_TRUE(handleClick(0, 0, BUTTON_RIGHT, report));
    EXPECT_EQ(train.currentNode, &next);
}

TEST_F(PointerTest, NothingHoveredKeepsTheSelection) {
    TrackNode& a1 = nodeNamed("A1");
    updateHoveredNode(a1.x, a1.y);
    handleClick(0, 0, BUTTON_RIGHT, report);
    EXPECT_TRUE(hoveredNodeIsSensor());
    updateHoveredNode(0, 0);
    EXPECT_FALSE(hoveredNodeIsSensor());
    EXPECT_FALSE(handleClick(0, 0, BUTTON_LEFT, report));
    EXPECT_EQ(interaction.selectedNode, &a1);
    EXPECT_EQ(selectedTrainNumber(), 0);
}

} // namespace
} // namespace quillon
