// A generated layout with more sensors than any window shows names for:
// columns x rows sensor nodes on a square grid of 10 layout units, named
// "S0", "S1", ... in node order, row by row, each row one line of track.
#pragma once

#include "track/Layouts.h"

#include <cstdio>

namespace quillon::testing {

inline Track crowdedTrack(int columns, int rows) {
    Track track{};
    track.nodes.resize(static_cast<std::size_t>(columns * rows));
    for (int i = 0; i < columns * rows; ++i) {
        Node& node = track.nodes[static_cast<std::size_t>(i)];
        int column = i % columns;
        node.type = NODE_SENSOR;
        node.id = -1;
        node.layoutX = 10 * column;
        node.layoutY = 10 * (i / columns);
        node.contacts[WAY_AHEAD] = (2 * i) % CONTACT_COUNT;
        node.contacts[WAY_BEHIND] = (2 * i + 1) % CONTACT_COUNT;
        if (column + 1 < columns)
            node.edges[EDGE_AHEAD] = {i + 1, 10};
        if (column > 0)
            node.edges[EDGE_BEHIND] = {i - 1, 10};
        std::snprintf(node.name, sizeof node.name, "S%d", i);
    }
    indexTrack(track);
    return track;
}

// Puts the crowded layout in the loaded layout's place and makes it active.
inline void loadCrowdedLayout(Layouts& layouts, int columns, int rows) {
    layouts.tracks[LAYOUT_LOADED] = crowdedTrack(columns, rows);
    selectLayout(layouts, LAYOUT_LOADED);
}

} // namespace quillon::testing
