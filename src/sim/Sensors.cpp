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

// The sensor node the train stands within 4 units past, or nullptr.
const Node* sensorJustPassed(const World& world, const Train& train) {
    if (!train.inUse || train.distance > 4)
        return nullptr;
    return sensorAt(world, train.currentNode);
}

// Whether a train just past the sensor node near leaves it the given way. A
// train that has not moved yet leaves it the way it will set off.
bool leavesBy(const Train& train, const Node& near, int way) {
    if (!train.nextNode.isNode())
        return way == (train.leavesBehind ? WAY_BEHIND : WAY_AHEAD);
    int slot = way == WAY_AHEAD ? EDGE_AHEAD : EDGE_BEHIND;
    return near.edges[slot].dest == train.nextNode.index;
}

} // namespace

bool isSensorTriggered(const World& world, std::int32_t n) {
    if (n < 0 || n >= CONTACT_COUNT)
        return false;
    ContactBits triggered{};
    addTriggeredContacts(world, triggered);
    return triggered.test(n);
}

void addTriggeredContacts(const World& world, ContactBits& bits) {
    const Track& track = activeTrack(world.layouts);
    for (std::size_t i = 0; i < sizeof bits.bytes; ++i)
        bits.bytes[i] |= track.stuck.bytes[i];
    for (int i = 0; i < world.trains.count; ++i) {
        const Train& train = world.trains.trains[i];
        const Node* near = sensorJustPassed(world, train);
        if (near == nullptr || train.currentNode.index >= track.nodeCount())
            continue;
        // The active layout's node of that index reports, as its reporters do.
        const Node& reporter = track.nodes[static_cast<std::size_t>(train.currentNode.index)];
        for (int way = WAY_AHEAD; way <= WAY_BEHIND; ++way)
            if (leavesBy(train, *near, way))
                bits.set(contactOf(reporter, way));
    }
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
