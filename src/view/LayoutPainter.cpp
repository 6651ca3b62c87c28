#include "view/LayoutPainter.h"

#include "sim/World.h"
#include "view/Palette.h"
#include "view/Primitives.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace quillon {
namespace {

// Slot of an edge's far end, or -1 when it names no node of the layout.
int slotOf(const TrackLayout& layout, std::int32_t dest) {
    return dest >= 0 && dest < usedSlots(layout) ? dest : -1;
}

// True when the switch is set so that a train passes between it and the
// node of index other: its behind leg, or the branch its direction selects.
bool switchSetTowards(const TrackNode& switchNode, std::int32_t other) {
    if (switchNode.edges[EDGE_COMMON].dest == other)
        return true;
    if (switchNode.direction == SWITCH_DIR_STRAIGHT)
        return switchNode.edges[EDGE_STRAIGHT].dest == other;
    if (switchNode.direction == SWITCH_DIR_CURVED)
        return switchNode.edges[EDGE_CURVED].dest == other;
    return false;
}

// Whether the edge between at and from lies on a set route. Only one switch
// is asked: at when it is one, otherwise from.
bool onSetRoute(const TrackNode& at, const TrackNode& from) {
    if (at.type == NODE_SWITCH)
        return switchSetTowards(at, from.index);
    if (from.type != NODE_SWITCH)
        return true;
    return switchSetTowards(from, at.index);
}

struct WalkPair {
    std::int16_t from;
    std::int16_t to;
};

// The working storage of one track walk; it lives on the painter's stack.
struct TrackWalk {
    bool visited[MAX_NODES];
    bool drawn[MAX_NODES][MAX_NODES];
    bool deferred[MAX_NODES][MAX_NODES];
    WalkPair pending[WALK_STACK_CAPACITY];
    int pendingCount;

    // Keeps a branch for later, once: otherwise two switches whose branches
    // lead to each other would defer each other's branches for ever, and the
    // walk would never end. A full stack drops it.
    void defer(int from, int to) {
        if (from < 0 || to < 0 || pendingCount >= WALK_STACK_CAPACITY || deferred[from][to])
            return;
        deferred[from][to] = true;
        pending[pendingCount++] = {static_cast<std::int16_t>(from), static_cast<std::int16_t>(to)};
    }
};

// The node a train would run to from at, having come from from; -1 where the
// walk ends. At a switch the branch not taken is deferred.
int nextOnWalk(const TrackLayout& layout, TrackWalk& walk, int from, int at) {
    const TrackNode& node = layout.nodes[at];
    auto slot = [&](int edge) { return slotOf(layout, node.edges[edge].dest); };
    switch (node.type) {
    case NODE_STOP:
        return slot(EDGE_AHEAD);
    case NODE_SENSOR:
        if (from == node.edges[EDGE_AHEAD].dest)
            return slot(EDGE_BEHIND);
        if (from == node.edges[EDGE_BEHIND].dest)
            return slot(EDGE_AHEAD);
        return -1;
    case NODE_SWITCH:
        if (from == node.edges[EDGE_STRAIGHT].dest) {
            walk.defer(at, slot(EDGE_CURVED));
            return slot(EDGE_COMMON);
        }
        if (from == node.edges[EDGE_CURVED].dest) {
            walk.defer(at, slot(EDGE_STRAIGHT));
            return slot(EDGE_COMMON);
        }
        if (from == node.edges[EDGE_COMMON].dest) {
            walk.defer(at, slot(EDGE_CURVED));
            return slot(EDGE_STRAIGHT);
        }
        return -1;
    default:
        return -1;
    }
}

// Pass 1: every edge once, coloured by whether it lies on a set route.
void drawTrackWalk(Surface& surface, const TrackLayout& layout) {
    TrackWalk walk;
    std::memset(&walk, 0, sizeof walk);
    walk.defer(slotOf(layout, layout.nodes[0].edges[0].dest), 0);
    while (walk.pendingCount > 0) {
        WalkPair pair = walk.pending[--walk.pendingCount];
        int from = pair.from;
        int at = pair.to;
        for (;;) {
            const TrackNode& atNode = layout.nodes[at];
            const TrackNode& fromNode = layout.nodes[from];
            if (!walk.drawn[at][from] && !walk.drawn[from][at]) {
                Colour colour = onSetRoute(atNode, fromNode) ? ROUTE_BLUE : BRANCH_GREY;
                drawLine(surface, atNode.x, atNode.y, fromNode.x, fromNode.y, colour);
                walk.drawn[at][from] = true;
            }
            int next = nextOnWalk(layout, walk, from, at);
            if (next < 0 || walk.visited[next])
                break;
            walk.visited[next] = true;
            from = at;
            at = next;
        }
    }
}

// Pass 2: each switch's selected branch in route blue, the other in grey.
void drawSwitchBranches(Surface& surface, const TrackLayout& layout, int count) {
    for (int i = 0; i < count; ++i) {
        const TrackNode& node = layout.nodes[i];
        if (node.type != NODE_SWITCH)
            continue;
        int selected, other;
        if (node.direction == SWITCH_DIR_STRAIGHT) {
            selected = slotOf(layout, node.edges[EDGE_STRAIGHT].dest);
            other = slotOf(layout, node.edges[EDGE_CURVED].dest);
        } else if (node.direction == SWITCH_DIR_CURVED) {
            selected = slotOf(layout, node.edges[EDGE_CURVED].dest);
            other = slotOf(layout, node.edges[EDGE_STRAIGHT].dest);
        } else {
            continue;
        }
        if (selected >= 0) {
            const TrackNode& to = layout.nodes[selected];
            drawLine(surface, to.x, to.y, node.x, node.y, ROUTE_BLUE);
        }
        if (other >= 0) {
            const TrackNode& to = layout.nodes[other];
            drawLine(surface, node.x, node.y, to.x, to.y, BRANCH_GREY);
        }
    }
}

// Pass 3: hover halo, marker and name of each node.
void drawNodes(Surface& surface, TextPainter* painter, const Layouts& layouts, int count) {
    const TrackLayout& layout = activeLayout(layouts);
    for (int i = 0; i < count; ++i) {
        const TrackNode& node = layout.nodes[i];
        const NodeView& view = viewOf(layouts, layouts.active, node);
        if (view.hovered)
            fillDisc(surface, node.x, node.y, 8, HALO_GREEN);
        switch (node.type) {
        case NODE_SWITCH:
            fillDisc(surface, node.x, node.y, 4, SWITCH_BLUE);
            break;
        case NODE_SENSOR:
            if (view.stuck)
                fillDisc(surface, node.x, node.y, 5, STUCK_ORANGE);
            else
                fillDisc(surface, node.x, node.y, 4, SENSOR_YELLOW);
            break;
        case NODE_STOP:
            fillDisc(surface, node.x, node.y, 4, RED);
            break;
        default:
            break;
        }
        if (node.type != NODE_SENSOR && !view.hovered)
            continue;
        char name[sizeof node.name + 1];
        std::memcpy(name, node.name, sizeof node.name);
        name[sizeof node.name] = '\0';
        drawCentredText(surface, painter, node.x, node.y - 9, name,
                        view.hovered ? WHITE : LABEL_GREY, NO_BACKGROUND);
    }
}

// A light square at the train's front end, inside its frame.
void drawHeadlight(Surface& surface, const Train& train) {
    int x = train.displayX, y = train.displayY;
    switch (train.facing) {
    case Facing::Right:
        x += 6;
        break;
    case Facing::Left:
        x -= 6;
        break;
    case Facing::Down:
        y += 3;
        break;
    case Facing::Up:
        y -= 3;
        break;
    }
    fillCentredRect(surface, x, y, 4, 4, HEADLIGHT);
}

} // namespace

void drawTrain(Surface& surface, TextPainter* painter, const Train& train) {
    int x = train.displayX;
    int y = train.displayY;
    Colour colour = train.hovered ? SENSOR_YELLOW : WHITE;
    fillCentredRect(surface, x, y, 20, 12, colour);
    fillCentredRect(surface, x, y, 18, 10, RED);
    if (train.light)
        drawHeadlight(surface, train);
    char text[32];
    std::snprintf(text, sizeof text, "%02d", static_cast<int>(train.number));
    drawCentredText(surface, painter, x, y, text, colour, NO_BACKGROUND);
    int below = y + 12; // where the next line under the train goes
    if (train.hovered) {
        std::snprintf(text, sizeof text, "   speed:%-3d", static_cast<int>(train.speed));
        drawCentredText(surface, painter, x, below, text, colour, NO_BACKGROUND);
        std::snprintf(text, sizeof text, "distance:%-3d", static_cast<int>(train.distance));
        drawCentredText(surface, painter, x, below + 8, text, colour, NO_BACKGROUND);
        below += 16;
        if (train.light) {
            drawCentredText(surface, painter, x, below, "   light:on ", colour, NO_BACKGROUND);
            below += 8;
        }
    }
    if (train.crashed)
        drawCentredText(surface, painter, x, below, "CRASHED!", RED, NO_BACKGROUND);
}

void drawTrack(Surface& surface, TextPainter* painter, const World& world) {
    const TrackLayout& layout = activeLayout(world.layouts);
    int count = usedSlots(layout);
    if (count < 1)
        return;
    drawTrackWalk(surface, layout);
    drawSwitchBranches(surface, layout, count);
    drawNodes(surface, painter, world.layouts, count);
}

void drawLayout(Surface& surface, TextPainter* painter, const World& world) {
    drawTrack(surface, painter, world);
    const TrainTable& table = world.trains;
    int trains = table.count < MAX_TRAINS ? table.count : MAX_TRAINS;
    for (int i = 0; i < trains; ++i) {
        const Train& train = table.trains[i];
        if (train.inUse)
            drawTrain(surface, painter, train);
    }
}

} // namespace quillon
