#include "sim/Movement.h"

#include "link/SensorReport.h"
#include "platform/Host.h"
#include "sim/Trains.h"
#include "track/BuiltinLayouts.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace quillon {

const int VELOCITY[15] = {0, 60, 80, 106, 158, 210, 256, 310, 354, 402, 442, 478, 536, 571, 610};

namespace {

constexpr int TOP_SPEED = 14;
// The trains crash when the pixel gap between them truncates to this or less.
constexpr float CRASH_GAP = 10.0f;

// The edge's far end in the active layout, or nullptr when the edge is empty
// or leads past the active layout's nodes (possible when the active layout
// changed under a running train).
TrackNode* farEnd(const NodeEdge* edge) {
    if (edge == nullptr)
        return nullptr;
    TrackLayout& layout = activeLayout();
    if (edge->dest < 0 || edge->dest >= layout.nodeCount || edge->dest >= MAX_NODES)
        return nullptr;
    return &layout.nodes[edge->dest];
}

// A way a train can take: both ends exist and the track has a length.
struct Way {
    TrackNode* node;
    NodeEdge* edge;
    bool usable() const { return node != nullptr && edge->distance > 0; }
};

Way wayFrom(TrackNode& node, bool forward) {
    NodeEdge* edge = chooseEdge(node, forward);
    return {farEnd(edge), edge};
}

void halt(Train& train) {
    train.crashed = 1;
    playSound(SOUND_HALT);
}

// The way on from R for a train that came from P: forward, unless forward
// leads straight back to P or the train runs into a switch from one of its
// branches; then backward.
Way wayOn(TrackNode& reached, const TrackNode& from) {
    const NodeEdge* ahead = chooseEdge(reached, true);
    bool leadsBack = ahead != nullptr && ahead->dest == from.index;
    bool trailing =
        reached.type == NODE_SWITCH && (from.index == reached.edges[EDGE_STRAIGHT].dest ||
                                        from.index == reached.edges[EDGE_CURVED].dest);
    return wayFrom(reached, !(leadsBack || trailing));
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
float segmentScale(const Train& train) {
    // Exact in double for every window size; beyond 32 bits it keeps growing
    // instead of wrapping into a negative root.
    double dx = static_cast<double>(train.nextNode->x) - train.currentNode->x;
    double dy = static_cast<double>(train.nextNode->y) - train.currentNode->y;
    return static_cast<float>(std::sqrt(dx * dx + dy * dy) / train.edge->distance);
}

// T's position as U measures it, or false when U is on no segment that T's
// test covers: the same segment either way, or standing at either end node.
bool positionSeenBy(const Train& t, const Train& u, std::int32_t& d) {
    int near = t.currentNode->index;
    int far = t.nextNode->index;
    int uNear = u.currentNode->index;
    bool sameWay = uNear == near;
    bool oppositeWay = uNear == far;
    if (u.nextNode != nullptr) {
        sameWay = sameWay && u.nextNode->index == far;
        oppositeWay = oppositeWay && u.nextNode->index == near;
    }
    if (sameWay) {
        d = t.distance;
        return true;
    }
    if (oppositeWay) {
        d = t.edge->distance - t.distance;
        return true;
    }
    return false;
}

// Crashes T and the first train found closer than 11 pixels to it on its
// segment; one sound for the pair.
void testCollision(Train& t) {
    if (t.edge->distance <= 0)
        return;
    float scale = segmentScale(t);
    for (int i = 0; i < trainTable.count; ++i) {
        Train& u = trainTable.trains[i];
        if (!u.inUse || u.number == t.number)
            continue;
        std::int32_t d;
        if (!positionSeenBy(t, u, d))
            continue;
        float apart = static_cast<float>(std::llabs(static_cast<std::int64_t>(u.distance) - d));
        // A gap that truncates to 10 pixels or less is one below 11.
        if (!(apart * scale < CRASH_GAP + 1.0f))
            continue;
        t.crashed = 1;
        u.crashed = 1;
        playSound(SOUND_COLLISION);
        return;
    }
}

// The train has reached its next node: it halts there (distance held at the
// edge's length, the exact distance keeping its overshoot), or moves on to
// the following segment at distance 0, dropping what it ran beyond the node,
// and latches the sensor it passed.
void passNode(Train& t, SensorReport& report) {
    t.distance = t.edge->distance;
    TrackNode& reached = *t.nextNode;
    if (reached.type == NODE_STOP) {
        halt(t);
        return;
    }
    Way way = wayOn(reached, *t.currentNode);
    if (!way.usable()) {
        halt(t);
        return;
    }
    if (reached.type == NODE_SENSOR) {
        // 2k on along the ahead edge, 2k + 1 along the behind edge.
        unsigned odd = reached.edges[EDGE_AHEAD].dest == way.node->index ? 0u : 1u;
        report.setSensorBit(
            static_cast<int>((2u * static_cast<unsigned>(reached.id) + odd) & 0xFFu));
    }
    t.currentNode = &reached;
    t.nextNode = way.node;
    t.edge = way.edge;
    t.distance = 0;
    t.exactDistance = 0.0f;
}

} // namespace

NodeEdge* chooseEdge(TrackNode& node, bool forward) {
    switch (node.type) {
    case NODE_SWITCH:
        if (!forward)
            return &node.edges[EDGE_COMMON];
        if (node.direction == SWITCH_DIR_STRAIGHT)
            return &node.edges[EDGE_STRAIGHT];
        if (node.direction == SWITCH_DIR_CURVED)
            return &node.edges[EDGE_CURVED];
        return nullptr;
    case NODE_SENSOR:
        return &node.edges[forward ? EDGE_AHEAD : EDGE_BEHIND];
    case NODE_STOP:
        return forward ? &node.edges[EDGE_AHEAD] : nullptr;
    default:
        return nullptr;
    }
}

TrackNode* nodeAlong(TrackNode& node, bool forward) {
    return farEnd(chooseEdge(node, forward));
}

bool stepTrains(std::int32_t elapsedMs, SensorReport& report) {
    bool due = false;
    for (int i = 0; i < trainTable.count; ++i) {
        Train& t = trainTable.trains[i];
        if (!t.inUse || t.speed == 0 || t.crashed || t.held)
            continue;
        due = true;
        if (t.nextNode == nullptr) {
            Way first = wayFrom(*t.currentNode, true);
            if (!first.usable()) {
                halt(t);
                continue;
            }
            t.nextNode = first.node;
            t.edge = first.edge;
        }
        double sum = static_cast<double>(t.exactDistance) + advanceFor(elapsedMs, t.speed);
        t.exactDistance = static_cast<float>(sum);
        if (sum < t.edge->distance)
            t.distance = truncated(sum);
        else
            passNode(t, report);
        testCollision(t);
    }
    return due;
}

} // namespace quillon
