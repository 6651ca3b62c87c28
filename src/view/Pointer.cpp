#include "view/Pointer.h"

#include "link/SensorReport.h"
#include "platform/Host.h"
#include "sim/InteractionState.h"
#include "sim/Trains.h"
#include "track/BuiltinLayouts.h"

#include <cmath>

namespace quillon {
namespace {

// Euclidean distance within reach, equality included. The squares are
// summed in 64 bits so that no position can overflow them.
bool withinReach(std::int32_t ax, std::int32_t ay, std::int32_t bx, std::int32_t by, double reach) {
    std::int64_t dx = std::int64_t{ax} - bx;
    std::int64_t dy = std::int64_t{ay} - by;
    return std::sqrt(static_cast<double>(dx * dx + dy * dy)) <= reach;
}

} // namespace

bool updateHoveredNode(std::int32_t x, std::int32_t y) {
    interaction.hoveredNode = nullptr;
    bool changed = false;
    TrackLayout& layout = activeLayout();
    int count = layout.nodeCount < MAX_NODES ? layout.nodeCount : MAX_NODES;
    for (int i = 0; i < count; ++i) {
        TrackNode& node = layout.nodes[i];
        // The last node within reach wins, not the nearest.
        if (withinReach(node.x, node.y, x, y, NODE_REACH))
            interaction.hoveredNode = &node;
        NodeView& view = nodeView(layout, node);
        if (view.hovered) {
            view.hovered = 0;
            changed = true;
        }
    }
    if (interaction.hoveredNode == nullptr)
        return changed;
    nodeView(layout, *interaction.hoveredNode).hovered = 1;
    return true;
}

bool updateHoveredTrain(std::int32_t x, std::int32_t y) {
    if (x == -1) {
        if (interaction.lastPointerX == -1)
            return false;
        x = interaction.lastPointerX;
        y = interaction.lastPointerY;
    } else {
        interaction.lastPointerX = x;
        interaction.lastPointerY = y;
    }
    interaction.hoveredTrain = nullptr;
    bool changed = false;
    int count = trainTable.count < MAX_TRAINS ? trainTable.count : MAX_TRAINS;
    for (int i = 0; i < count; ++i) {
        Train& train = trainTable.trains[i];
        if (!train.inUse)
            continue;
        if (withinReach(train.displayX, train.displayY, x, y, TRAIN_REACH))
            interaction.hoveredTrain = &train;
        if (train.hovered) {
            train.hovered = 0;
            changed = true;
        }
    }
    if (interaction.hoveredTrain == nullptr)
        return changed;
    interaction.hoveredTrain->hovered = 1;
    return true;
}

bool hoveredNodeIsSensor() {
    return interaction.hoveredNode != nullptr && interaction.hoveredNode->type == NODE_SENSOR;
}

std::int32_t selectedTrainNumber() {
    return interaction.selectedTrain == nullptr ? 0 : interaction.selectedTrain->number;
}

bool handleClick(std::int32_t, std::int32_t, int button, SensorReport& report) {
    if (Train* train = interaction.hoveredTrain) {
        interaction.selectedTrain = train;
        interaction.selectedNode = nullptr;
        if (button == BUTTON_LEFT)
            train->held = train->held ? 0 : 1;
        else if (button == BUTTON_MIDDLE)
            setTrainSpeed(train->number, SPEED_REVERSE, false);
        return true;
    }
    TrackNode* node = interaction.hoveredNode;
    if (node == nullptr)
        return false;
    interaction.selectedNode = node;
    interaction.selectedTrain = nullptr;
    if (node->type == NODE_SWITCH && button == BUTTON_LEFT) {
        // The user's toggle bypasses the controller's switch command, so the
        // solenoid notice is left as it is.
        node->direction =
            node->direction == SWITCH_DIR_STRAIGHT ? SWITCH_DIR_CURVED : SWITCH_DIR_STRAIGHT;
        playSound(SOUND_SWITCH);
    } else if (node->type == NODE_SENSOR && (button == BUTTON_LEFT || button == BUTTON_MIDDLE)) {
        // The sensor's first number, taken as a byte like every sensor number.
        int first = static_cast<std::uint8_t>(2u * static_cast<std::uint32_t>(node->id));
        report.setSensorBit(button == BUTTON_LEFT ? first : first + 1);
        playSound(SOUND_SENSOR);
    }
    return true;
}

} // namespace quillon
