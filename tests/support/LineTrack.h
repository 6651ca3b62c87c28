// A small loaded layout for tests: a straight line of stop S0, sensors X and
// Y, and stop S1, 100 units apart, with contacts chosen per test.
#pragma once

#include "sim/World.h"

#include <array>
#include <cstring>

namespace quillon::testing {

constexpr int LINE_S0 = 0, LINE_X = 1, LINE_Y = 2, LINE_S1 = 3;

inline Node lineNode(const char* name, std::int32_t type, int x) {
    Node node;
    node.type = type;
    node.layoutX = node.x = x;
    std::strncpy(node.name, name, sizeof node.name - 1);
    return node;
}

// The line with X reporting xContacts and Y yContacts (ahead, behind), in
// layout units collision gap `gap`, loaded and made active in world.
inline void loadLine(World& world, std::array<std::int32_t, 2> xContacts,
                     std::array<std::int32_t, 2> yContacts, std::int32_t gap = 10) {
    Track track;
    track.nodes = {lineNode("S0", NODE_STOP, 0), lineNode("X", NODE_SENSOR, 100),
                   lineNode("Y", NODE_SENSOR, 200), lineNode("S1", NODE_STOP, 300)};
    track.nodes[LINE_S0].edges[EDGE_AHEAD] = {LINE_X, 100};
    track.nodes[LINE_X].edges[EDGE_AHEAD] = {LINE_Y, 100};
    track.nodes[LINE_X].edges[EDGE_BEHIND] = {LINE_S0, 100};
    track.nodes[LINE_Y].edges[EDGE_AHEAD] = {LINE_S1, 100};
    track.nodes[LINE_Y].edges[EDGE_BEHIND] = {LINE_X, 100};
    track.nodes[LINE_S1].edges[EDGE_AHEAD] = {LINE_Y, 100};
    track.nodes[LINE_X].contacts[0] = xContacts[0];
    track.nodes[LINE_X].contacts[1] = xContacts[1];
    track.nodes[LINE_Y].contacts[0] = yContacts[0];
    track.nodes[LINE_Y].contacts[1] = yContacts[1];
    track.gap = CollisionGap{GapRule::LayoutUnits, gap};
    indexTrack(track);
    world.layouts.tracks[LAYOUT_LOADED] = track;
    selectLayout(world.layouts, LAYOUT_LOADED);
}

inline NodeRef lineRef(int index) {
    return NodeRef{LAYOUT_LOADED, static_cast<std::int16_t>(index)};
}

} // namespace quillon::testing
