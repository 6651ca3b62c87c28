#include "view/Pointer.h"

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
    TrainTable& table = world.trains;
    interaction.hoveredTrain = NO_TRAIN;
    bool changed = false;
    int count = table.count < MAX_TRAINS ? table.count : MAX_TRAINS;
    for (int i = 0; i < count; ++i) {
        Train& train = table.trains[i];
        if (!train.inUse)
            continue;
        if (withinReach(train.displayX, train.displayY, x, y, TRAIN_REACH))
            interaction.hoveredTrain = i;
        if (train.hovered) {
            train.hovered = 0;
            changed = true;
        }
    }
    if (interaction.hoveredTrain == NO_TRAIN)
        return changed;
    table.trains[interaction.hoveredTrain].hovered = 1;
    return true;
}

} // namespace

bool updateHoveredNode(World& world, std::int32_t x, std::int32_t y) {
    Layouts& layouts = world.layouts;
    NodeRef& hovered = world.interaction.hoveredNode;
    hovered = NO_NODE;
    bool changed = false;
    const TrackLayout& layout = activeLayout(layouts);
    for (int i = 0; i < usedSlots(layout); ++i) {
        const TrackNode& node = layout.nodes[i];
        // The last node within reach wins, not the nearest.
        if (withinReach(node.x, node.y, x, y, NODE_REACH))
            hovered = activeNode(layouts, i);
        NodeView& view = viewOf(layouts, layouts.active, node);
        if (view.hovered) {
            view.hovered = 0;
            changed = true;
        }
    }
    if (!hovered.isNode())
        return changed;
    viewOf(layouts, layouts.active, nodeAt(layouts, hovered)).hovered = 1;
    return true;
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
    TrackNode& node = nodeAt(world.layouts, interaction.hoveredNode);
    interaction.selectedNode = interaction.hoveredNode;
    interaction.selectedTrain = NO_TRAIN;
    if (node.type == NODE_SWITCH && button == PointerButton::Left) {
        // The user's toggle bypasses the controller's switch command, so the
        // solenoid notice is left as it is.
        node.direction =
            node.direction == SWITCH_DIR_STRAIGHT ? SWITCH_DIR_CURVED : SWITCH_DIR_STRAIGHT;
        world.events.record(makeEvent(EventKind::SwitchChanged, node.id, node.direction, NO_NODE));
    } else if (node.type == NODE_SENSOR &&
               (button == PointerButton::Left || button == PointerButton::Middle)) {
        // The sensor's first number, taken as a byte like every sensor number.
        int first = static_cast<std::uint8_t>(2u * static_cast<std::uint32_t>(node.id));
        int number = button == PointerButton::Left ? first : first + 1;
        world.decoder.report.setSensorBit(number);
        world.events.record(makeEvent(EventKind::SensorFired, number, 0, interaction.hoveredNode));
    }
    return true;
}

} // namespace quillon
