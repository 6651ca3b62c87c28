// How each tile of a plan carries track: the cells it covers, the sides of
// those cells where track enters it, which sides its track joins, and the
// nodes it becomes. Lengths are in quarter cells.
#pragma once

#include "plan/PlanProblem.h"
#include "plan/PlanXml.h"

#include <vector>

namespace quillon {

// Sides of a cell, numbered as the directions of travel leaving by them.
enum CellSide : int { SIDE_WEST = 0, SIDE_NORTH = 1, SIDE_EAST = 2, SIDE_SOUTH = 3 };

constexpr int QUARTERS_PER_CELL = 4;

inline int oppositeSide(int side) {
    return (side + 2) % 4;
}

// The side that the canonical side of a tile facing west lies on once the
// tile faces ori: north turns west to south, east turns it round, south
// turns it to north.
inline int rotatedSide(int ori, int side) {
    constexpr int TURN[4] = {0, 3, 2, 1};
    return (side + TURN[ori & 3]) % 4;
}

struct TileCell {
    int dx = 0;
    int dy = 0;
};

struct TilePort {
    int cell = 0; // index into TileShape::cells
    int side = SIDE_WEST;
};

inline bool operator==(const TilePort& a, const TilePort& b) {
    return a.cell == b.cell && a.side == b.side;
}

// Track through the tile from one port to another, both ways.
struct TileLink {
    TilePort a;
    TilePort b;
    int quarters = QUARTERS_PER_CELL;
};

// A node the tile becomes: its type, number (switches) and where it sits, in
// quarter cells from the tile's top left corner.
struct TileNode {
    int type = 0; // NodeType
    int id = 0;
    int contact = -1; // sensors: reported both ways; -1 for none
    int x4 = 2;
    int y4 = 2;
    bool curved = false; // switches: set curved at the start
    const char* suffix = "";
};

// A port where track leaves node `node` by edge slot `slot`, `quarters`
// from the node.
struct NodeDoor {
    TilePort port;
    int node = 0;
    int slot = 0;
    int quarters = 2;
};

// An edge between two nodes of the same tile.
struct InnerEdge {
    int from = 0;
    int slot = 0;
    int to = 0;
    int quarters = 1;
};

struct TileShape {
    std::vector<TileCell> cells;
    std::vector<TileLink> links;
    std::vector<TileNode> nodes;
    std::vector<NodeDoor> doors;
    std::vector<InnerEdge> inner;
    std::vector<TilePort> closed; // track ends here without an error
    // Connectors: track enters by `attach` and goes on at the counterpart
    // found by looking from the tile towards `gapSide`.
    bool connector = false;
    TilePort attach;
    int gapSide = SIDE_EAST;
};

// The shape of tile; false, with an error in problems, for a type the
// import does not know. Warnings (an unaddressable switch, a slip with one
// motor) and errors (a sensor or switch number out of range) are added to
// problems; the shape is made all the same.
bool shapeOf(const PlanTile& tile, TileShape& shape, std::vector<PlanProblem>& problems);

} // namespace quillon
