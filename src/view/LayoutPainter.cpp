#include "view/LayoutPainter.h"

#include "sim/World.h"
#include "track/ContactNames.h"
#include "view/FrameTracker.h"
#include "view/NamePlan.h"
#include "view/Palette.h"
#include "view/Primitives.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace quillon {
namespace {

// Slot of an edge's far end, or -1 when it names no node of the track.
int slotOf(const Track& track, std::int32_t dest) {
    return dest >= 0 && dest < track.nodeCount() ? dest : -1;
}

const Node& nodeOf(const Track& track, int index) {
    return track.nodes[static_cast<std::size_t>(index)];
}

// True when the switch is set so that a train passes between it and the
// node of index other: its behind leg, or the branch its direction selects.
bool switchSetTowards(const Node& switchNode, std::int32_t other) {
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
bool onSetRoute(const Node& at, std::int32_t atIndex, const Node& from, std::int32_t fromIndex) {
    if (at.type == NODE_SWITCH)
        return switchSetTowards(at, fromIndex);
    if (from.type != NODE_SWITCH)
        return true;
    return switchSetTowards(from, atIndex);
}

// Pass 1: every edge once in walk order, coloured by whether it lies on a
// set route.
void drawTrackWalk(Surface& surface, const Track& track) {
    for (const WalkEdge& edge : track.walk) {
        const Node& at = nodeOf(track, edge.at);
        const Node& from = nodeOf(track, edge.from);
        Colour colour = onSetRoute(at, edge.at, from, edge.from) ? ROUTE_BLUE : BRANCH_GREY;
        drawLine(surface, at.x, at.y, from.x, from.y, colour);
    }
}

// Pass 2: each switch's selected branch in route blue, the other in grey.
void drawSwitchBranches(Surface& surface, const Track& track) {
    for (const Node& node : track.nodes) {
        if (node.type != NODE_SWITCH)
            continue;
        int selected, other;
        if (node.direction == SWITCH_DIR_STRAIGHT) {
            selected = slotOf(track, node.edges[EDGE_STRAIGHT].dest);
            other = slotOf(track, node.edges[EDGE_CURVED].dest);
        } else if (node.direction == SWITCH_DIR_CURVED) {
            selected = slotOf(track, node.edges[EDGE_CURVED].dest);
            other = slotOf(track, node.edges[EDGE_STRAIGHT].dest);
        } else {
            continue;
        }
        if (selected >= 0) {
            const Node& to = nodeOf(track, selected);
            drawLine(surface, to.x, to.y, node.x, node.y, ROUTE_BLUE);
        }
        if (other >= 0) {
            const Node& to = nodeOf(track, other);
            drawLine(surface, node.x, node.y, to.x, to.y, BRANCH_GREY);
        }
    }
}

// The contacts of a sensor below it: the one reported leaving ahead, then
// the one leaving behind ("-" for none), or one name for one contact.
void drawHoveredContacts(Surface& surface, TextPainter* painter, const Node& node) {
    auto nameOf = [](std::int32_t contact, char(&name)[CONTACT_NAME_CAPACITY]) {
        if (!formatContactName(contact, name))
            std::strcpy(name, "-");
    };
    char ahead[CONTACT_NAME_CAPACITY];
    char behind[CONTACT_NAME_CAPACITY];
    nameOf(contactOf(node, WAY_AHEAD), ahead);
    nameOf(contactOf(node, WAY_BEHIND), behind);
    char text[2 * CONTACT_NAME_CAPACITY + 1];
    if (std::strcmp(ahead, behind) == 0)
        std::snprintf(text, sizeof text, "%s", ahead);
    else
        std::snprintf(text, sizeof text, "%s/%s", ahead, behind);
    drawCentredText(surface, painter, node.x, node.y + NAME_ABOVE_NODE, text, WHITE, BLACK);
}

// Pass 3: hover halo, marker and name of each node; hidden, where given,
// holds the names the plan hides.
void drawNodes(Surface& surface, TextPainter* painter, const World& world,
               const std::uint8_t* hidden) {
    const Track& track = activeTrack(world.layouts);
    const int hoveredIndex = hoveredNodeOf(world);
    for (int i = 0; i < track.nodeCount(); ++i) {
        const Node& node = nodeOf(track, i);
        bool hovered = i == hoveredIndex;
        if (hovered)
            fillDisc(surface, node.x, node.y, 8, HALO_GREEN);
        switch (node.type) {
        case NODE_SWITCH:
            fillDisc(surface, node.x, node.y, 4, SWITCH_BLUE);
            break;
        case NODE_SENSOR:
            if (isNodeStuck(track, node))
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
        if (hidden != nullptr && hidden[i] != 0)
            continue;
        if (node.type != NODE_SENSOR && !hovered)
            continue;
        drawCentredText(surface, painter, node.x, node.y - NAME_ABOVE_NODE, node.name,
                        hovered ? WHITE : LABEL_GREY);
    }
    if (hoveredIndex < 0)
        return;
    const Node& node = nodeOf(track, hoveredIndex);
    if (hidden != nullptr && hidden[hoveredIndex] != 0)
        drawCentredText(surface, painter, node.x, node.y - NAME_ABOVE_NODE, node.name, WHITE,
                        BLACK);
    // A loaded layout names its sensors as it likes: the hovered one shows
    // its contacts too. The built-ins' names are their first contact's.
    if (node.type == NODE_SENSOR && !track.record)
        drawHoveredContacts(surface, painter, node);
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

void drawTrain(Surface& surface, TextPainter* painter, const Train& train, bool hovered) {
    int x = train.displayX;
    int y = train.displayY;
    Colour colour = hovered ? SENSOR_YELLOW : WHITE;
    fillCentredRect(surface, x, y, 20, 12, colour);
    fillCentredRect(surface, x, y, 18, 10, RED);
    if (train.light)
        drawHeadlight(surface, train);
    const TrainText texts = trainTextOf(train, hovered);
    for (int i = 0; i < texts.count; ++i) {
        const TrainText::Line& line = texts.lines[i];
        drawCentredText(surface, painter, x, line.y, line.text, line.colour);
    }
}

TrainText trainTextOf(const Train& train, bool hovered) {
    constexpr std::size_t SIZE = sizeof TrainText::Line::text;
    TrainText texts;
    // The text of a new line at y, to be written.
    auto line = [&texts](int y, Colour colour) {
        TrainText::Line& added = texts.lines[texts.count++];
        added.y = y;
        added.colour = colour;
        return added.text;
    };
    const Colour colour = hovered ? SENSOR_YELLOW : WHITE;
    const int y = train.displayY;
    std::snprintf(line(y, colour), SIZE, "%02d", static_cast<int>(train.number));
    int below = y + 12; // where the next line under the train goes
    if (hovered) {
        std::snprintf(line(below, colour), SIZE, "   speed:%-3d", static_cast<int>(train.speed));
        std::snprintf(line(below + 8, colour), SIZE, "distance:%-3d",
                      static_cast<int>(train.distance));
        below += 16;
        if (train.light) {
            std::snprintf(line(below, colour), SIZE, "   light:on ");
            below += 8;
        }
    }
    if (train.crashed)
        std::snprintf(line(below, RED), SIZE, "CRASHED!");
    return texts;
}

void drawTrack(Surface& surface, TextPainter* painter, const World& world, const NamePlan* names) {
    const Track& track = activeTrack(world.layouts);
    if (track.nodeCount() < 1)
        return;
    drawTrackWalk(surface, track);
    drawSwitchBranches(surface, track);
    const std::uint8_t* hidden =
        names != nullptr ? names->hiddenNames(world.layouts.active, track.nodeCount()) : nullptr;
    drawNodes(surface, painter, world, hidden);
}

void drawLayout(Surface& surface, TextPainter* painter, const World& world, const NamePlan* names) {
    drawTrack(surface, painter, world, names);
    const TrainTable& table = world.trains;
    int trains = table.count < MAX_TRAINS ? table.count : MAX_TRAINS;
    for (int i = 0; i < trains; ++i) {
        const Train& train = table.trains[i];
        if (train.inUse)
            drawTrain(surface, painter, train, i == world.interaction.hoveredTrain);
    }
}

void drawSensorContacts(Surface& surface, TextPainter* painter, const World& world) {
    const Track& track = activeTrack(world.layouts);
    for (int i = 0; i < track.nodeCount(); ++i) {
        const Node& node = nodeOf(track, i);
        if (node.type == NODE_SENSOR)
            drawHoveredContacts(surface, painter, node);
    }
}

} // namespace quillon
