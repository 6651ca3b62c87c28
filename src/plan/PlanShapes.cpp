#include "plan/PlanShapes.h"

#include "track/Track.h"

#include <string>

namespace quillon {

namespace {

constexpr int CELL = QUARTERS_PER_CELL;
constexpr int HALF = QUARTERS_PER_CELL / 2;
// A diagonal across two cells, a little longer than the straight.
constexpr int DIAGONAL = 9;

bool isAcross(int ori) {
    return ori == ORI_WEST || ori == ORI_EAST;
}

struct Builder {
    const PlanTile& tile;
    TileShape& shape;
    std::vector<PlanProblem>& problems;

    void error(const std::string& what) { problems.push_back({tile.line, tile.id, what, false}); }
    void warn(const std::string& what) { problems.push_back({tile.line, tile.id, what, true}); }

    // A canonical side of a one-cell tile, turned to the tile's orientation.
    TilePort port(int canonicalSide) const { return {0, rotatedSide(tile.ori, canonicalSide)}; }

    void oneCell() { shape.cells = {{0, 0}}; }

    void link(TilePort a, TilePort b, int quarters) { shape.links.push_back({a, b, quarters}); }

    int node(int type, int id, int x4, int y4, const char* suffix = "") {
        TileNode n;
        n.type = type;
        n.id = id;
        n.x4 = x4;
        n.y4 = y4;
        n.suffix = suffix;
        shape.nodes.push_back(n);
        return static_cast<int>(shape.nodes.size()) - 1;
    }

    void door(TilePort at, int node, int slot, int quarters = HALF) {
        shape.doors.push_back({at, node, slot, quarters});
    }

    // The number the controller addresses a motor by, as the driver works
    // it out; 0 for a motor it never addresses, -1 after an error.
    int motorNumber(int addr, int port, const char* which) {
        if (addr < 1)
            return 0;
        int number = (addr - 1) * 4 + port;
        if (number >= 1 && number <= MAX_SWITCH_NUMBER)
            return number;
        error(std::string("switch number ") + std::to_string(number) + " (" + which + " " +
              std::to_string(addr) + ", port " + std::to_string(port) + ") is beyond 1..255");
        return -1;
    }

    bool track() {
        const std::string& type = tile.type;
        oneCell();
        // The arrows of dir and dirall tiles rule Rocrail's routes; the real
        // track under them lets trains pass both ways.
        if (type == "straight" || type == "dir" || type == "dirall" || type.empty() ||
            (type == "tracknr" && tile.tknr != 3)) {
            link(port(SIDE_WEST), port(SIDE_EAST), CELL);
            return true;
        }
        if (type == "tracknr") { // number 3: a bridge, one track over the other
            link(port(SIDE_WEST), port(SIDE_EAST), CELL);
            link(port(SIDE_NORTH), port(SIDE_SOUTH), CELL);
            return true;
        }
        if (type == "curve" || type == "curvenr") {
            link(port(SIDE_WEST), port(SIDE_SOUTH), CELL);
            return true;
        }
        if (type == "dcurve") { // two curves back to back
            link(port(SIDE_WEST), port(SIDE_SOUTH), CELL);
            link(port(SIDE_EAST), port(SIDE_NORTH), CELL);
            return true;
        }
        if (type == "buffer") {
            int stop = node(NODE_STOP, 0, HALF, HALF);
            door(port(SIDE_WEST), stop, EDGE_AHEAD);
            return true;
        }
        int gap = type == "connector"       ? SIDE_EAST
                  : type == "concurveleft"  ? SIDE_NORTH
                  : type == "concurveright" ? SIDE_SOUTH
                                            : -1;
        if (gap < 0) {
            error("unknown track type '" + type.substr(0, 32) + "'");
            return false;
        }
        shape.connector = true;
        shape.attach = port(SIDE_WEST);
        shape.gapSide = rotatedSide(tile.ori, gap);
        return true;
    }

    bool feedback() {
        oneCell();
        int contact = tile.addr - 1;
        if (tile.addr == 0)
            warn("feedback without an address: imported without a contact");
        if (tile.addr > CONTACT_COUNT)
            error("sensor address " + std::to_string(tile.addr) + " is beyond 1..496");
        int sensor = node(NODE_SENSOR, -1, HALF, HALF);
        shape.nodes[static_cast<std::size_t>(sensor)].contact =
            contact >= 0 && contact < CONTACT_COUNT ? contact : -1;
        door(port(SIDE_WEST), sensor, EDGE_BEHIND);
        door(port(tile.curve ? SIDE_SOUTH : SIDE_EAST), sensor, EDGE_AHEAD);
        return true;
    }

    // A block of n cells along its orientation, its node in the middle; its
    // "+" side (the west side of a block facing west) is behind.
    bool block(int n) {
        bool across = isAcross(tile.ori);
        for (int i = 0; i < n; ++i)
            shape.cells.push_back(across ? TileCell{i, 0} : TileCell{0, i});
        int middle =
            across ? node(NODE_SENSOR, -1, n * HALF, HALF) : node(NODE_SENSOR, -1, HALF, n * HALF);
        int plus = rotatedSide(tile.ori, SIDE_WEST);
        int minus = oppositeSide(plus);
        auto cellOf = [n](int side) { return side == SIDE_WEST || side == SIDE_NORTH ? 0 : n - 1; };
        door({cellOf(plus), plus}, middle, EDGE_BEHIND, n * HALF);
        door({cellOf(minus), minus}, middle, EDGE_AHEAD, n * HALF);
        return true;
    }

    // A switch fixed in the state the plan saved: track from the common
    // leg to that branch, the other branch closed.
    void fixedSwitch(int common, int straight, int curved) {
        link(port(common), port(tile.turnout ? curved : straight), CELL);
        shape.closed.push_back(port(tile.turnout ? straight : curved));
    }

    void twoWay(int common, int straight, int curved) {
        int number = motorNumber(tile.addr1, tile.port1, "address");
        if (number < 0) {
            fixedSwitch(common, straight, curved);
            return;
        }
        if (number == 0) {
            warn("switch has no address the controller reaches (addr1 0): imported fixed " +
                 std::string(tile.turnout ? "turnout" : "straight"));
            fixedSwitch(common, straight, curved);
            return;
        }
        int sw = node(NODE_SWITCH, number, HALF, HALF);
        shape.nodes[static_cast<std::size_t>(sw)].curved = tile.turnout;
        door(port(common), sw, EDGE_COMMON);
        door(port(straight), sw, EDGE_STRAIGHT);
        door(port(curved), sw, EDGE_CURVED);
    }

    // Two switches: the first (addr1) sends trains from the common leg
    // left or on to the second (addr2), which sends them straight or right.
    void threeWay() {
        int first = motorNumber(tile.addr1, tile.port1, "address");
        int second = motorNumber(tile.addr2, tile.port2, "address");
        if (first <= 0 || second <= 0) {
            if (first == 0 || second == 0)
                warn("three-way switch with a motor the controller never reaches (addr1 or "
                     "addr2 0): imported fixed straight");
            link(port(SIDE_EAST), port(SIDE_WEST), CELL);
            shape.closed.push_back(port(SIDE_SOUTH));
            shape.closed.push_back(port(SIDE_NORTH));
            return;
        }
        // The second sits a quarter cell from the first, towards the straight leg.
        constexpr int DX[4] = {-1, 0, 1, 0};
        constexpr int DY[4] = {0, -1, 0, 1};
        int towards = rotatedSide(tile.ori, SIDE_WEST);
        int a = node(NODE_SWITCH, first, HALF, HALF);
        int b = node(NODE_SWITCH, second, HALF + DX[towards], HALF + DY[towards], "~2");
        door(port(SIDE_EAST), a, EDGE_COMMON);
        door(port(SIDE_SOUTH), a, EDGE_CURVED);
        door(port(SIDE_WEST), b, EDGE_STRAIGHT, 1);
        door(port(SIDE_NORTH), b, EDGE_CURVED);
        shape.inner.push_back({a, EDGE_STRAIGHT, b, 1});
        shape.inner.push_back({b, EDGE_COMMON, a, 1});
    }

    // The cells of a two-cell crossing or slip along its orientation.
    void twoCells() {
        if (isAcross(tile.ori))
            shape.cells = {{0, 0}, {1, 0}};
        else
            shape.cells = {{0, 0}, {0, 1}};
    }

    // The track running the tile's length, and the one crossing it.
    struct Routes {
        TilePort straight[2];
        TilePort diagonal[2];
        TilePort left[2];
        TilePort right[2];
    };

    Routes slipRoutes() const {
        Routes r{};
        bool across = isAcross(tile.ori);
        if (across && !tile.rightHand)
            r = {{{0, SIDE_WEST}, {1, SIDE_EAST}},
                 {{0, SIDE_SOUTH}, {1, SIDE_NORTH}},
                 {{1, SIDE_EAST}, {0, SIDE_SOUTH}},
                 {{0, SIDE_WEST}, {1, SIDE_NORTH}}};
        else if (across)
            r = {{{0, SIDE_WEST}, {1, SIDE_EAST}},
                 {{0, SIDE_NORTH}, {1, SIDE_SOUTH}},
                 {{0, SIDE_WEST}, {1, SIDE_SOUTH}},
                 {{1, SIDE_EAST}, {0, SIDE_NORTH}}};
        else if (!tile.rightHand)
            r = {{{0, SIDE_NORTH}, {1, SIDE_SOUTH}},
                 {{0, SIDE_WEST}, {1, SIDE_EAST}},
                 {{1, SIDE_EAST}, {0, SIDE_NORTH}},
                 {{1, SIDE_SOUTH}, {0, SIDE_WEST}}};
        else
            r = {{{0, SIDE_NORTH}, {1, SIDE_SOUTH}},
                 {{0, SIDE_EAST}, {1, SIDE_WEST}},
                 {{0, SIDE_EAST}, {1, SIDE_SOUTH}},
                 {{0, SIDE_NORTH}, {1, SIDE_WEST}}};
        // Facing east or south, the plan names the slip routes the other way round.
        if (tile.ori == ORI_EAST || tile.ori == ORI_SOUTH)
            std::swap(r.left, r.right);
        return r;
    }

    void plainCrossing() {
        if (tile.rectCrossing) {
            oneCell();
            link({0, SIDE_WEST}, {0, SIDE_EAST}, CELL);
            link({0, SIDE_NORTH}, {0, SIDE_SOUTH}, CELL);
            return;
        }
        twoCells();
        Routes r = slipRoutes();
        link(r.straight[0], r.straight[1], 2 * CELL);
        link(r.diagonal[0], r.diagonal[1], DIAGONAL);
    }

    // Both diagonals cross the track running the tile's length.
    void centredCrossing() {
        twoCells();
        bool across = isAcross(tile.ori);
        int s0 = across ? SIDE_WEST : SIDE_NORTH;
        int a = across ? SIDE_SOUTH : SIDE_WEST;
        link({0, s0}, {1, oppositeSide(s0)}, 2 * CELL);
        link({0, a}, {1, oppositeSide(a)}, DIAGONAL);
        link({0, oppositeSide(a)}, {1, a}, DIAGONAL);
    }

    // A double slip driven by two motors. The plan's four states set them
    // (first, second): straight (s, s), turnout (t, t), left (t, s), right
    // (s, t). From each end one motor chooses between two exits; each motor
    // becomes a switch whose branches are those exits, the two switches
    // joined by their common legs.
    void doubleSlip(int first, int second) {
        twoCells();
        Routes r = slipRoutes();
        struct Route {
            TilePort a, b;
            bool m[2]; // turnout for motor 0, motor 1
        };
        const Route routes[4] = {{r.straight[0], r.straight[1], {false, false}},
                                 {r.diagonal[0], r.diagonal[1], {true, true}},
                                 {r.left[0], r.left[1], {true, false}},
                                 {r.right[0], r.right[1], {false, true}}};
        TilePort branch[2][2]{}; // [motor][straight, curved]
        for (const Route& from : routes)
            for (const TilePort& entry : {from.a, from.b}) {
                const Route* pair[2] = {nullptr, nullptr};
                int found = 0;
                for (const Route& route : routes)
                    if ((route.a == entry || route.b == entry) && found < 2)
                        pair[found++] = &route;
                int motor = pair[0]->m[0] != pair[1]->m[0] ? 0 : 1;
                for (const Route* route : pair) {
                    TilePort exit = route->a == entry ? route->b : route->a;
                    branch[motor][route->m[motor] ? 1 : 0] = exit;
                }
            }
        int numbers[2] = {first, second};
        int nodes[2];
        for (int m = 0; m < 2; ++m) {
            const TileCell& cell = shape.cells[static_cast<std::size_t>(branch[m][0].cell)];
            nodes[m] = node(NODE_SWITCH, numbers[m], HALF + CELL * cell.dx, HALF + CELL * cell.dy,
                            m == 0 ? "" : "~2");
        }
        for (int m = 0; m < 2; ++m) {
            int here = branch[m][0].cell;
            for (int b = 0; b < 2; ++b) {
                const TilePort& at = branch[m][b];
                door(at, nodes[m], b == 0 ? EDGE_STRAIGHT : EDGE_CURVED,
                     at.cell == here ? HALF : HALF + CELL);
            }
            shape.inner.push_back({nodes[m], EDGE_COMMON, nodes[1 - m], CELL});
        }
    }

    bool crossing() {
        const std::string& type = tile.type;
        bool motor = type == "dcrossing" || tile.addr1 != 0 || tile.port1 != 0;
        if (type == "ccrossing") {
            centredCrossing();
            return true;
        }
        if (!motor) {
            plainCrossing();
            return true;
        }
        int first = motorNumber(tile.addr1, tile.port1, "address");
        int second = motorNumber(tile.addr2, tile.port2, "address");
        if (first < 0 || second < 0) {
            plainCrossing();
            return true;
        }
        if (first == 0 || second == 0 || tile.rectCrossing) {
            warn("slip switch without two motors the controller reaches: imported as a plain "
                 "crossing");
            plainCrossing();
            return true;
        }
        doubleSlip(first, second);
        return true;
    }

    bool switchTile() {
        const std::string& type = tile.type;
        if (tile.raster) {
            error("a switch drawn with the raster symbols (swtype=\"raster\") is not imported");
            return false;
        }
        if (type == "crossing" || type == "ccrossing" || type == "dcrossing")
            return crossing();
        oneCell();
        if (type == "right" || type.empty()) {
            twoWay(SIDE_WEST, SIDE_EAST, SIDE_SOUTH);
            return true;
        }
        if (type == "left") {
            twoWay(SIDE_EAST, SIDE_WEST, SIDE_SOUTH);
            return true;
        }
        if (type == "twoway") {
            twoWay(SIDE_EAST, SIDE_NORTH, SIDE_SOUTH);
            return true;
        }
        if (type == "threeway") {
            threeWay();
            return true;
        }
        if (type == "decoupler" || (type == "accessory" && tile.accessory >= 10 &&
                                    tile.accessory <= 12)) { // uncoupler, level crossing

            link(port(SIDE_WEST), port(SIDE_EAST), CELL);
            return true;
        }
        error("unknown switch type '" + type.substr(0, 32) + "'");
        return false;
    }
};

} // namespace

bool shapeOf(const PlanTile& tile, TileShape& shape, std::vector<PlanProblem>& problems) {
    shape = TileShape{};
    Builder builder{tile, shape, problems};
    if (tile.element == "tk")
        return builder.track();
    if (tile.element == "fb")
        return builder.feedback();
    if (tile.element == "sw")
        return builder.switchTile();
    if (tile.element == "bk")
        return builder.block(tile.smallSymbol ? 2 : 4);
    if (tile.element == "sb")
        return builder.block(4);
    // Signals stand on the track and let trains pass along it.
    builder.oneCell();
    builder.link(builder.port(SIDE_WEST), builder.port(SIDE_EAST), CELL);
    return true;
}

} // namespace quillon
