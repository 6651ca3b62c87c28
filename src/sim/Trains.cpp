#include "sim/Trains.h"

#include "sim/Movement.h"
#include "sim/Pixels.h"
#include "sim/World.h"

#include <algorithm>
#include <cassert>

namespace quillon {

int findTrain(const TrainTable& table, std::int32_t number) {
    for (int i = 0; i < table.count; ++i) {
        const Train& train = table.trains[i];
        if (train.inUse && train.number == number)
            return i;
    }
    return -1;
}

Train* trainByNumber(TrainTable& table, std::int32_t number) {
    int index = findTrain(table, number);
    return index < 0 ? nullptr : &table.trains[index];
}

const Train* trainByNumber(const TrainTable& table, std::int32_t number) {
    int index = findTrain(table, number);
    return index < 0 ? nullptr : &table.trains[index];
}

Train* placeTrain(World& world, std::int32_t number, NodeRef node, bool behind) {
    TrainTable& table = world.trains;
    Train* train = trainByNumber(table, number);
    EventKind kind = EventKind::TrainMoved;
    if (train == nullptr) {
        if (table.count >= MAX_TRAINS)
            return nullptr;
        train = &table.trains[table.count++];
        kind = EventKind::TrainPlaced;
    }
    *train = Train{};
    train->inUse = 1;
    train->number = number;
    train->currentNode = node;
    train->leavesBehind = behind ? 1 : 0;
    updateDisplayPosition(world, *train);
    world.events.record(makeEvent(kind, number, 0, node));
    return train;
}

void removeTrain(World& world, std::int32_t number) {
    TrainTable& table = world.trains;
    int index = findTrain(table, number);
    if (index < 0)
        return;
    std::copy(table.trains + index + 1, table.trains + table.count, table.trains + index);
    --table.count;
    std::int32_t& hovered = world.interaction.hoveredTrain;
    if (hovered == index)
        hovered = NO_TRAIN;
    else if (hovered > index)
        --hovered;
    // The vacated record no longer counts as in use for anyone still naming it.
    table.trains[table.count] = Train{};
}

void setSwitch(World& world, int number, std::int32_t direction) {
    int index = switchIndexForByte(activeTrack(world.layouts), number);
    if (index == NO_INDEX)
        return;
    setSwitchDirection(world, activeNode(world.layouts, index), direction);
}

void setSwitchDirection(World& world, NodeRef ref, std::int32_t direction) {
    Node& node = nodeAt(world.layouts, ref);
    if (node.type != NODE_SWITCH || node.direction == direction)
        return;
    node.direction = direction;
    ++world.layouts.tracks[ref.layout].revision;
    world.events.record(makeEvent(EventKind::SwitchChanged, node.id, direction, ref));
}

void toggleSwitch(World& world, NodeRef ref) {
    std::int32_t direction = nodeAt(world.layouts, ref).direction;
    setSwitchDirection(world, ref,
                       direction == SWITCH_DIR_STRAIGHT ? SWITCH_DIR_CURVED : SWITCH_DIR_STRAIGHT);
}

namespace {

// The train reverses on its segment without changing its place. A train that
// has not moved since placement keeps its way: it still sets off forward.
// A train halted at the far end keeps the overshoot of its last step in the
// exact distance; it turns round from the end itself, so that it never stands
// outside its segment (behind the node it now leaves).
void reverse(const World& world, Train& train, StandingReverse standing) {
    if (!train.edge.isEdge()) {
        if (standing == StandingReverse::TurnRound)
            train.leavesBehind = train.leavesBehind ? 0 : 1;
        return;
    }
    std::int32_t length = std::max(edgeAt(world, train.edge).distance, 0);
    float end = static_cast<float>(length);
    std::int32_t distance = std::clamp(train.distance, 0, length);
    float exact = std::clamp(train.exactDistance, 0.0f, end);
    train.distance = length - distance;
    train.exactDistance = end - exact;
    std::swap(train.currentNode, train.nextNode);
}

} // namespace

void setTrainSpeed(World& world, Train& train, int command, bool stopOnReverse,
                   StandingReverse standing) {
    if (command < 0 || command > SPEED_REVERSE || !train.inUse)
        return;
    if (command == SPEED_REVERSE) {
        reverse(world, train, standing);
        updateDisplayPosition(world, train);
        if (stopOnReverse)
            train.speed = 0;
    } else {
        train.speed = static_cast<std::uint32_t>(command);
    }
    train.crashed = 0;
}

void setTrainSpeed(World& world, std::int32_t number, int command, bool stopOnReverse,
                   StandingReverse standing) {
    if (Train* train = trainByNumber(world.trains, number))
        setTrainSpeed(world, *train, command, stopOnReverse, standing);
}

void setTrainLight(World& world, std::int32_t number, bool on) {
    if (Train* train = trainByNumber(world.trains, number))
        train->light = on ? 1 : 0;
}

int trainSpeed(const World& world, std::int32_t number) {
    const Train* train = trainByNumber(world.trains, number);
    return train == nullptr ? 0 : static_cast<int>(train->speed & 0xFFu);
}

Train* selectedTrain(World& world) {
    std::int32_t slot = world.interaction.selectedTrain;
    if (slot < 0 || slot >= MAX_TRAINS)
        return nullptr;
    return &world.trains.trains[slot];
}

bool placeTrainAtSelection(World& world, std::int32_t number, bool behind) {
    if (!world.interaction.selectedNode.isNode())
        return false;
    placeTrain(world, number, world.interaction.selectedNode, behind);
    return true;
}

bool removeSelectedTrain(World& world) {
    Train* train = selectedTrain(world);
    if (train == nullptr)
        return false;
    removeTrain(world, train->number);
    world.interaction.selectedTrain = NO_TRAIN;
    world.interaction.hoveredTrain = NO_TRAIN;
    return true;
}

namespace {

// The facing from a towards b; the facing it had when both stand together.
Facing facingFrom(const Node& a, const Node& b, Facing had) {
    std::int64_t dx = std::int64_t{b.x} - a.x;
    std::int64_t dy = std::int64_t{b.y} - a.y;
    if (dx == 0 && dy == 0)
        return had;
    if ((dx < 0 ? -dx : dx) >= (dy < 0 ? -dy : dy))
        return dx > 0 ? Facing::Right : Facing::Left;
    return dy > 0 ? Facing::Down : Facing::Up;
}

// The node a train standing on node would set off to, or nullptr.
const Node* wayOut(const World& world, const Node& node, bool forward) {
    int slot = chooseEdge(node, forward);
    if (slot < 0)
        return nullptr;
    std::int32_t dest = node.edges[slot].dest;
    const Track& track = activeTrack(world.layouts);
    return dest >= 0 && dest < track.nodeCount() ? &track.nodes[static_cast<std::size_t>(dest)]
                                                 : nullptr;
}

} // namespace

void updateDisplayPosition(const World& world, Train& train) {
    if (!train.currentNode.isNode())
        return;
    const Node& a = nodeAt(world.layouts, train.currentNode);
    if (!train.nextNode.isNode() || !train.edge.isEdge()) {
        train.displayX = a.x;
        train.displayY = a.y;
        if (const Node* out = wayOut(world, a, !train.leavesBehind))
            train.facing = facingFrom(a, *out, train.facing);
        return;
    }
    // An edge without length has no point between its ends: the train is
    // at its current node.
    const Node& b = nodeAt(world.layouts, train.nextNode);
    std::int32_t length = edgeAt(world, train.edge).distance;
    double t = length == 0 ? 0.0 : static_cast<double>(train.distance) / length;
    train.displayX = truncateToPixel(a.x * (1.0 - t) + b.x * t);
    train.displayY = truncateToPixel(a.y * (1.0 - t) + b.y * t);
    train.facing = facingFrom(a, b, train.facing);
}

void updateDisplayPositions(World& world) {
    for (int i = 0; i < world.trains.count; ++i) {
        Train& train = world.trains.trains[i];
        if (train.inUse)
            updateDisplayPosition(world, train);
    }
}

} // namespace quillon
