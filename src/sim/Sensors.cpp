#include "sim/Sensors.h"

#include "sim/InteractionState.h"
#include "sim/Trains.h"
#include "track/BuiltinLayouts.h"

namespace quillon {
namespace {

bool isSensor(const TrackNode* node) {
    return node != nullptr && node->type == NODE_SENSOR;
}

// A train within 4 units past the sensor node, in the direction of number n.
bool trainJustPast(const TrackNode& sensor, std::int32_t n) {
    bool even = n % 2 == 0;
    for (int i = 0; i < trainTable.count; ++i) {
        const Train& train = trainTable.trains[i];
        const TrackNode* near = train.currentNode;
        if (!train.inUse || !isSensor(near) || near->index != sensor.index || train.distance > 4)
            continue;
        if (train.nextNode == nullptr) {
            if (even)
                return true;
            continue;
        }
        int slot = even ? EDGE_AHEAD : EDGE_BEHIND;
        if (near->edges[slot].dest == train.nextNode->index)
            return true;
    }
    return false;
}

} // namespace

bool isSensorTriggered(std::int32_t n) {
    if (n < 0) {
        TrackNode* selected = interaction.selectedNode;
        return isSensor(selected) && nodeView(activeLayout(), *selected).stuck != 0;
    }
    if (n >= SENSOR_NUMBERS)
        return false;
    TrackNode& node = sensorNode(activeLayout(), static_cast<std::uint8_t>(n));
    if (nodeView(activeLayout(), node).stuck)
        return true;
    return trainJustPast(node, n);
}

void stickSelectedSensor() {
    TrackNode* selected = interaction.selectedNode;
    if (!isSensor(selected))
        return;
    NodeView& view = nodeView(activeLayout(), *selected);
    view.stuck = view.stuck ? 0 : 1;
}

} // namespace quillon
