#include "sim/LoadedLayout.h"

#include "sim/World.h"

#include <utility>

namespace quillon {
namespace {

// True when the edge slot is the one a train leaves its node by when it
// sets off behind.
bool isBehindSlot(const Node& node, int slot) {
    if (node.type == NODE_SENSOR)
        return slot == EDGE_BEHIND;
    if (node.type == NODE_SWITCH)
        return slot == EDGE_COMMON;
    return false;
}

// Whether the train, on the old track, goes the behind way of its node.
bool goesBehind(const Track& track, const Train& train) {
    if (!train.nextNode.isNode())
        return train.leavesBehind != 0;
    const Node& node = track.nodes[static_cast<std::size_t>(train.currentNode.index)];
    for (int slot = 0; slot < 3; ++slot) {
        if (node.edges[slot].dest == train.nextNode.index)
            return isBehindSlot(node, slot);
    }
    return train.leavesBehind != 0;
}

} // namespace

LayoutSwap installLoadedLayout(World& world, Track track, bool keepTrains) {
    LayoutSwap swap;
    Track& old = world.layouts.tracks[LAYOUT_LOADED];
    TrainTable& table = world.trains;
    int write = 0;
    for (int read = 0; read < table.count; ++read) {
        Train train = table.trains[read];
        if (train.currentNode.layout != LAYOUT_LOADED) {
            table.trains[write++] = train;
            continue;
        }
        const char* name = old.nodes[static_cast<std::size_t>(train.currentNode.index)].name;
        const int index = keepTrains ? findNodeNamed(track, name) : NO_INDEX;
        if (index == NO_INDEX) {
            ++swap.removed;
            continue;
        }
        Train moved{};
        moved.inUse = 1;
        moved.held = train.held;
        moved.number = train.number;
        moved.speed = train.speed;
        moved.light = train.light;
        moved.currentNode = NodeRef{LAYOUT_LOADED, static_cast<std::int16_t>(index)};
        moved.leavesBehind = goesBehind(old, train) ? 1 : 0;
        table.trains[write++] = moved;
        ++swap.kept;
    }
    for (int k = write; k < table.count; ++k)
        table.trains[k] = Train{};
    table.count = write;

    // A picture kept of the old layout must not pass for one of the new.
    track.revision = old.revision + 1;
    old = std::move(track);
    for (int k = 0; k < table.count; ++k) {
        if (table.trains[k].currentNode.layout == LAYOUT_LOADED)
            updateDisplayPosition(world, table.trains[k]);
    }
    InteractionState& interaction = world.interaction;
    if (interaction.hoveredNode.layout == LAYOUT_LOADED)
        interaction.hoveredNode = NO_NODE;
    if (interaction.selectedNode.layout == LAYOUT_LOADED)
        interaction.selectedNode = NO_NODE;
    if (swap.kept > 0 || swap.removed > 0) {
        interaction.hoveredTrain = NO_TRAIN;
        interaction.selectedTrain = NO_TRAIN;
    }
    return swap;
}

} // namespace quillon
