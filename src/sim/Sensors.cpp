#include "sim/Sensors.h"

#include "sim/World.h"

namespace quillon {
namespace {

const TrackNode* sensorAt(const World& world, NodeRef ref) {
    if (!ref.isNode())
        return nullptr;
    const TrackNode& node = nodeAt(world.layouts, ref);
    return node.type == NODE_SENSOR ? &node : nullptr;
}

// A train within 4 units past the sensor node, in the direction of number n.
bool trainJustPast(const World& world, const TrackNode& sensor, std::int32_t n) {
    bool even = n % 2 == 0;
    for (int i = 0; i < world.trains.count; ++i) {
        const Train& train = world.trains.trains[i];
        if (!train.inUse || train.distance > 4)
            continue;
        const TrackNode* near = sensorAt(world, train.currentNode);
        if (near == nullptr || near->index != sensor.index)
            continue;
        if (!train.nextNode.isNode()) {
            if (even)
                return true;
            continue;
        }
        int slot = even ? EDGE_AHEAD : EDGE_BEHIND;
        if (near->edges[slot].dest == nodeAt(world.layouts, train.nextNode).index)
            return true;
    }
    return false;
}

} // namespace

bool isSensorTriggered(const World& world, std::int32_t n) {
    if (n < 0 || n >= SENSOR_NUMBERS)
        return false;
    const Layouts& layouts = world.layouts;
    const TrackNode& node = sensorNode(activeLayout(layouts), static_cast<std::uint8_t>(n));
    if (viewOf(layouts, layouts.active, node).stuck)
        return true;
    return trainJustPast(world, node, n);
}

bool isSelectedSensorStuck(const World& world) {
    // The flag lives in the active layout's view entries, whichever layout
    // the selection was made on.
    const TrackNode* selected = sensorAt(world, world.interaction.selectedNode);
    return selected != nullptr && viewOf(world.layouts, world.layouts.active, *selected).stuck;
}

void stickSelectedSensor(World& world) {
    const TrackNode* selected = sensorAt(world, world.interaction.selectedNode);
    if (selected == nullptr)
        return;
    NodeView& view = viewOf(world.layouts, world.layouts.active, *selected);
    view.stuck = view.stuck ? 0 : 1;
}

} // namespace quillon
