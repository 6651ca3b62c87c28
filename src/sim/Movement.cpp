#include "sim/Movement.h"

#include "sim/World.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace quillon {

const int VELOCITY[15] = {0, 60, 80, 106, 158, 210, 256, 310, 354, 402, 442, 478, 536, 571, 610};

namespace {

constexpr int TOP_SPEED = 14;

// A way a train can take from a node: the edge it leaves by and the node of
// the active layout at its far end (none when the edge is empty or leads
// past the active layout's nodes, possible when the active layout changed
// under a running train).
struct Way {
    EdgeRef edge;
    NodeRef node;
};

Way wayFrom(const World& world, NodeRef from, bool forward) {
    int slot = chooseEdge(nodeAt(world.layouts, from), forward);
    if (slot < 0)
        return {};
    EdgeRef edge{from, slot};
    return {edge, activeNodeOrNone(world.layouts, edgeAt(world, edge).dest)};
}

// Both ends exist and the track has a length.
bool usable(const World& world, const Way& way) {
    return way.node.isNode() && edgeAt(world, way.edge).distance > 0;
}

// The train stops for good at node until its speed is set again.
void halt(World& world, Train& train, NodeRef node) {
    train.crashed = 1;
    world.events.record(makeEvent(EventKind::Halt, train.number, 0, node));
}

// The way on from R for a train that came from P: forward, unless forward
// leads straight back to P or the train runs into a switch from one of its
// branches; then backward.
Way wayOn(const World& world, NodeRef reachedRef, std::int32_t fromIndex) {
    const Node& reached = nodeAt(world.layouts, reachedRef);
    int ahead = chooseEdge(reached, true);
    bool leadsBack = ahead >= 0 && reached.edges[ahead].dest == fromIndex;
    bool trailing =
        reached.type == NODE_SWITCH && (fromIndex == reached.edges[EDGE_STRAIGHT].dest ||
                                        fromIndex == reached.edges[EDGE_CURVED].dest);
    return wayFrom(world, reachedRef, !(leadsBack || trailing));
}

// The train's advance for elapsedMs at its step, in the order of evaluation
// that fixes the result bit for bit: single-precision factors, double sums.
double advanceFor(std::int32_t elapsedMs, std::uint32_t speed) {
    if (elapsedMs <= 0)
        return 0.0; // a wrapped clock must never move a train backwards
    int step = speed > TOP_SPEED ? TOP_SPEED : static_cast<int>(speed);
    return static_cast<double>(elapsedMs) * static_cast<double>(0.001f) * VELOCITY[step] *
           static_cast<double>(0.7f);
}

// The sum truncated toward zero, for a sum below the segment's length.
std::int32_t truncated(double sum) {
    constexpr double LOWEST = -2147483648.0;
    return sum > LOWEST ? static_cast<std::int32_t>(sum) : INT32_MIN;
}

// Window pixels per length unit along T's segment.
float segmentScale(const World& world, const Train& train) {
    const Node& near = nodeAt(world.layouts, train.currentNode);
    const Node& far = nodeAt(world.layouts, train.nextNode);
    // Exact in double for every window size; beyond 32 bits it keeps growing
    // instead of wrapping into a negative root.
    double dx = static_cast<double>(far.x) - near.x;
    double dy = static_cast<double>(far.y) - near.y;
    return static_cast<float>(std::sqrt(dx * dx + dy * dy) / edgeAt(world, train.edge).distance);
}

// T's segment as the collision test sees it: its end nodes by their index
// in their record, its length and T's distance along it.
struct Segment {
    int near;
    int far;
    std::int32_t length;
    std::int32_t distance;
};

// T's position as U measures it, or false when U is on no segment that T's
// test covers: the same segment either way, or standing at either end node.
bool positionSeenBy(const Segment& t, const Train& u, std::int32_t& d) {
    int near = t.near;
    int far = t.far;
    int uNear = u.currentNode.index;
    bool sameWay = uNear == near;
    bool oppositeWay = uNear == far;
    if (u.nextNode.isNode()) {
        int uFar = u.nextNode.index;
        sameWay = sameWay && uFar == far;
        oppositeWay = oppositeWay && uFar == near;
    }
    if (sameWay) {
        d = t.distance;
        return true;
    }
    if (oppositeWay) {
        d = t.length - t.distance;
        return true;
    }
    return false;
}

// Whether trains apart layout units along T's segment are too close: under
// the window-pixel rule a gap that truncates to the gap's size or less, one
// below size + 1; under the layout-unit rule a gap of at most its size.
bool tooClose(const World& world, const Train& t, float apart) {
    const CollisionGap& gap = world.layouts.tracks[t.currentNode.layout].gap;
    if (gap.rule == GapRule::LayoutUnits)
        return apart <= static_cast<float>(gap.size);
    return apart * segmentScale(world, t) < static_cast<float>(gap.size) + 1.0f;
}

// Crashes T and the first train found too close to it on its segment; one
// event for the pair.
void testCollision(World& world, Train& t) {
    if (edgeAt(world, t.edge).distance <= 0)
        return;
    const Segment segment{t.currentNode.index, t.nextNode.index, edgeAt(world, t.edge).distance,
                          t.distance};
    for (int i = 0; i < world.trains.count; ++i) {
        Train& u = world.trains.trains[i];
        if (!u.inUse || u.number == t.number)
            continue;
        std::int32_t d;
        if (!positionSeenBy(segment, u, d))
            continue;
        float apart = static_cast<float>(std::llabs(static_cast<std::int64_t>(u.distance) - d));
        if (!tooClose(world, t, apart))
            continue;
        t.crashed = 1;
        u.crashed = 1;
        world.events.record(makeEvent(EventKind::Collision, t.number, u.number, t.currentNode));
        return;
    }
}

// The train has reached its next node: it halts there (distance held at the
// edge's length, the exact distance keeping its overshoot), or moves on to
// the following segment at distance 0, dropping what it ran beyond the node,
// and latches the sensor it passed.
void passNode(World& world, Train& t) {
    t.distance = edgeAt(world, t.edge).distance;
    const Node& reached = nodeAt(world.layouts, t.nextNode);
    if (reached.type == NODE_STOP) {
        halt(world, t, t.nextNode);
        return;
    }
    Way way = wayOn(world, t.nextNode, t.currentNode.index);
    if (!usable(world, way)) {
        halt(world, t, t.nextNode);
        return;
    }
    if (reached.type == NODE_SENSOR) {
        int passed = reached.edges[EDGE_AHEAD].dest == way.node.index ? WAY_AHEAD : WAY_BEHIND;
        std::int32_t contact = contactOf(reached, passed);
        if (contact != NO_CONTACT) {
            world.latched.set(contact);
            world.events.record(makeEvent(EventKind::SensorLatched, contact, t.number, t.nextNode));
        }
    }
    t.currentNode = t.nextNode;
    t.nextNode = way.node;
    t.edge = way.edge;
    t.distance = 0;
    t.exactDistance = 0.0f;
}

} // namespace

int chooseEdge(const Node& node, bool forward) {
    switch (node.type) {
    case NODE_SWITCH:
        if (!forward)
            return EDGE_COMMON;
        if (node.direction == SWITCH_DIR_STRAIGHT)
            return EDGE_STRAIGHT;
        if (node.direction == SWITCH_DIR_CURVED)
            return EDGE_CURVED;
        return -1;
    case NODE_SENSOR:
        return forward ? EDGE_AHEAD : EDGE_BEHIND;
    case NODE_STOP:
        return forward ? EDGE_AHEAD : -1;
    default:
        return -1;
    }
}

bool trainsDue(const World& world) {
    if (!world.powerOn)
        return false;
    for (int i = 0; i < world.trains.count; ++i) {
        const Train& t = world.trains.trains[i];
        if (t.inUse && t.speed != 0 && !t.crashed && !t.held)
            return true;
    }
    return false;
}

bool stepTrains(World& world, std::int32_t elapsedMs) {
    // Without track power every train stands where it is.
    if (!world.powerOn)
        return false;
    bool due = false;
    for (int i = 0; i < world.trains.count; ++i) {
        Train& t = world.trains.trains[i];
        if (!t.inUse || t.speed == 0 || t.crashed || t.held)
            continue;
        due = true;
        if (!t.nextNode.isNode()) {
            Way first = wayFrom(world, t.currentNode, !t.leavesBehind);
            if (!usable(world, first)) {
                halt(world, t, t.currentNode);
                continue;
            }
            t.nextNode = first.node;
            t.edge = first.edge;
            t.leavesBehind = 0;
        }
        double sum = static_cast<double>(t.exactDistance) + advanceFor(elapsedMs, t.speed);
        t.exactDistance = static_cast<float>(sum);
        if (sum < edgeAt(world, t.edge).distance)
            t.distance = truncated(sum);
        else
            passNode(world, t);
        updateDisplayPosition(world, t);
        testCollision(world, t);
    }
    return due;
}

} // namespace quillon
