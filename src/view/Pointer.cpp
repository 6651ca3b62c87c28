#include "view/Pointer.h"

#include "sim/Sensors.h"
#include "sim/World.h"

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

bool hoverTrainAt(World& world, std::int32_t x, std::int32_t y) {
    InteractionState& interaction = world.interaction;
    const TrainTable& table = world.trains;
    bool wasHovered = interaction.hoveredTrain != NO_TRAIN;
    interaction.hoveredTrain = NO_TRAIN;
    int count = table.count < MAX_TRAINS ? table.count : MAX_TRAINS;
    for (int i = 0; i < count; ++i) {
        const Train& train = table.trains[i];
        if (train.inUse && withinReach(train.displayX, train.displayY, x, y, TRAIN_REACH))
            interaction.hoveredTrain = i;
    }
    return wasHovered || interaction.hoveredTrain != NO_TRAIN;
}

} // namespace

bool updateHoveredNode(World& world, std::int32_t x, std::int32_t y) {
    const Layouts& layouts = world.layouts;
    NodeRef& hovered = world.interaction.hoveredNode;
    bool wasHovered = hovered.isNode() && hovered.layout == layouts.active;
    hovered = NO_NODE;
    const Track& track = activeTrack(layouts);
    for (int i = 0; i < track.nodeCount(); ++i) {
        const Node& node = track.nodes[static_cast<std::size_t>(i)];
        // The last node within reach wins, not the nearest.
        if (withinReach(node.x, node.y, x, y, NODE_REACH))
            hovered = activeNode(layouts, i);
    }
    return wasHovered || hovered.isNode();
}

bool updateHoveredTrain(World& world, std::int32_t x, std::int32_t y) {
    world.interaction.lastPointerX = x;
    world.interaction.lastPointerY = y;
    return hoverTrainAt(world, x, y);
}

bool retestHoveredTrain(World& world) {
    const InteractionState& interaction = world.interaction;
    if (interaction.lastPointerX == -1)
        return false;
    return hoverTrainAt(world, interaction.lastPointerX, interaction.lastPointerY);
}

bool hoveredNodeIsSensor(const World& world) {
    NodeRef hovered = world.interaction.hoveredNode;
    return hovered.isNode() && nodeAt(world.layouts, hovered).type == NODE_SENSOR;
}

std::int32_t selectedTrainNumber(const World& world) {
    std::int32_t slot = world.interaction.selectedTrain;
    return slot < 0 || slot >= MAX_TRAINS ? 0 : world.trains.trains[slot].number;
}

bool handleClick(World& world, PointerButton button) {
    InteractionState& interaction = world.interaction;
    if (interaction.hoveredTrain != NO_TRAIN) {
        Train& train = world.trains.trains[interaction.hoveredTrain];
        interaction.selectedTrain = interaction.hoveredTrain;
        interaction.selectedNode = NO_NODE;
        if (button == PointerButton::Left)
            train.held = train.held ? 0 : 1;
        else if (button == PointerButton::Middle)
            setTrainSpeed(world, train, SPEED_REVERSE, false);
        return true;
    }
    if (!interaction.hoveredNode.isNode())
        return false;
    NodeRef hit = interaction.hoveredNode;
    interaction.selectedNode = hit;
    interaction.selectedTrain = NO_TRAIN;
    std::int32_t type = nodeAt(world.layouts, hit).type;
    // The user's toggle bypasses the controller's switch command, so the
    // solenoid notice is left as it is.
    if (type == NODE_SWITCH && button == PointerButton::Left)
        toggleSwitch(world, hit);
    else if (type == NODE_SENSOR && button == PointerButton::Left)
        fireSensor(world, hit, WAY_AHEAD);
    else if (type == NODE_SENSOR && button == PointerButton::Middle)
        fireSensor(world, hit, WAY_BEHIND);
    return true;
}

} // namespace quillon
