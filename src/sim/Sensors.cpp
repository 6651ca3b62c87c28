#include "sim/Sensors.h"

#include "sim/World.h"

namespace quillon {
namespace {

const Node* sensorAt(const World& world, NodeRef ref) {
    if (!ref.isNode())
        return nullptr;
    const Node& node = nodeAt(world.layouts, ref);
    return node.type == NODE_SENSOR ? &node : nullptr;
}

// A train within 4 units past the sensor node of index `sensor`, leaving it
// the given way. A train that has not moved yet leaves it the way it will
// set off.
bool trainJustPast(const World& world, std::int32_t sensor, int way) {
    for (int i = 0; i < world.trains.count; ++i) {
        const Train& train = world.trains.trains[i];
        if (!train.inUse || train.distance > 4)
            continue;
        const Node* near = sensorAt(world, train.currentNode);
        if (near == nullptr || train.currentNode.index != sensor)
            continue;
        if (!train.nextNode.isNode()) {
            if (way == (train.leavesBehind ? WAY_BEHIND : WAY_AHEAD))
                return true;
            continue;
        }
        int slot = way == WAY_AHEAD ? EDGE_AHEAD : EDGE_BEHIND;
        if (near->edges[slot].dest == train.nextNode.index)
            return true;
    }
    return false;
}

} // namespace

bool isSensorTriggered(const World& world, std::int32_t n) {
    if (n < 0 || n >= CONTACT_COUNT)
        return false;
    const Track& track = activeTrack(world.layouts);
    if (track.stuck.test(n))
        return true;
    for (std::int32_t r = track.firstReporter[n]; r != NO_INDEX;
         r = track.reporters[static_cast<std::size_t>(r)].next) {
        const ContactReporter& reporter = track.reporters[static_cast<std::size_t>(r)];
        if (trainJustPast(world, reporter.node, reporter.way))
            return true;
    }
    return false;
}

void fireSensor(World& world, NodeRef ref, int way) {
    const Node* sensor = sensorAt(world, ref);
    if (sensor == nullptr)
        return;
    std::int32_t contact = contactOf(*sensor, way);
    if (contact == NO_CONTACT)
        return;
    world.latched.set(contact);
    world.events.record(makeEvent(EventKind::SensorFired, contact, 0, ref));
}

void stickSensor(World& world, NodeRef ref) {
    const Node* sensor = sensorAt(world, ref);
    if (sensor == nullptr)
        return;
    Track& track = world.layouts.tracks[ref.layout];
    track.stuck.set(contactOf(*sensor, WAY_AHEAD));
    track.stuck.set(contactOf(*sensor, WAY_BEHIND));
    ++track.revision;
}

bool isSelectedSensorStuck(const World& world) {
    const Node* selected = sensorAt(world, world.interaction.selectedNode);
    return selected != nullptr && isNodeStuck(activeTrack(world.layouts), *selected);
}

void stickSelectedSensor(World& world) {
    const Node* selected = sensorAt(world, world.interaction.selectedNode);
    if (selected == nullptr)
        return;
    Track& track = activeTrack(world.layouts);
    bool stick = !isNodeStuck(track, *selected);
    for (int way = WAY_AHEAD; way <= WAY_BEHIND; ++way) {
        std::int32_t contact = contactOf(*selected, way);
        if (stick)
            track.stuck.set(contact);
        else
            track.stuck.reset(contact);
    }
    ++track.revision;
}

} // namespace quillon
