#include "plan/PlanGraph.h"

#include "plan/PlanShapes.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <set>
#include <unordered_map>
#include <unordered_set>

namespace quillon {

namespace {

constexpr int DX[4] = {-1, 0, 1, 0};
constexpr int DY[4] = {0, -1, 0, 1};
constexpr const char* SIDE_NAMES[4] = {"west", "north", "east", "south"};

struct CellRef {
    int tile = -1;
    int cell = 0;
};

std::uint64_t cellKey(int x, int y, int z) {
    return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(z)) << 40) |
           (static_cast<std::uint64_t>(static_cast<std::uint32_t>(y) & 0xFFFFFu) << 20) |
           (static_cast<std::uint64_t>(static_cast<std::uint32_t>(x) & 0xFFFFFu));
}

// Where a walk along the track from a node's door ends.
struct WalkEnd {
    bool reached = false; // a node's door; otherwise the track ends
    int tile = -1;
    int door = -1;
    long long quarters = 0;
    std::vector<CellRef> cells; // the cells of track tiles passed, in order
};

// The track between two nodes' edge slots as found by a walk, slot A first.
struct Run {
    int nodeA = -1, slotA = 0, nodeB = -1, slotB = 0;
    std::vector<CellRef> cells;
    bool split = false;
};

class GraphBuilder {
public:
    GraphBuilder(const PlanDocument& doc, int cellLength, std::vector<PlanProblem>& problems)
        : doc_(doc), cell_(cellLength), problems_(problems) {}

    bool build(PlanGraph& out);

private:
    const PlanDocument& doc_;
    int cell_;
    std::vector<PlanProblem>& problems_;
    std::vector<int> order_; // tile indices by line
    std::vector<TileShape> shapes_;
    std::vector<bool> known_;
    std::unordered_map<std::uint64_t, CellRef> cells_;
    std::vector<std::vector<int>> nodesOfTile_; // global node index per tile node
    std::set<std::pair<int, int>> openEnds_;    // (tile, side) already reported
    std::map<int, long long> levelOffset_;
    std::set<std::string> taken_; // node names
    std::vector<Run> runs_;
    std::map<std::pair<int, int>, int> runOfSlot_; // (node, slot) -> run
    int totalCells_ = 0;
    bool ok_ = true;

    const PlanTile& tile(int t) const { return doc_.tiles[static_cast<std::size_t>(t)]; }
    const TileShape& shape(int t) const { return shapes_[static_cast<std::size_t>(t)]; }

    void error(int t, const std::string& what) {
        problems_.push_back({tile(t).line, tile(t).id, what, false});
        ok_ = false;
    }
    void warn(int t, const std::string& what) {
        problems_.push_back({tile(t).line, tile(t).id, what, true});
    }

    void cellOf(int t, int cell, int& x, int& y) const {
        const TileCell& c = shape(t).cells[static_cast<std::size_t>(cell)];
        x = tile(t).x + c.dx;
        y = tile(t).y + c.dy;
    }

    CellRef at(int x, int y, int z) const {
        auto it = cells_.find(cellKey(x, y, z));
        return it == cells_.end() ? CellRef{} : it->second;
    }

    void makeShapes();
    void placeCells();
    void makeLevels();
    void makeNodes(Track& track, std::vector<int>& tileOfNode);
    void makeEdges(Track& track);
    void checkWays(const Track& track, const std::vector<int>& tileOfNode);
    void separateWays(Track& track, std::vector<int>& tileOfNode);
    void splitRun(Track& track, std::vector<int>& tileOfNode, int index, int pieces);
    void centreOf(const CellRef& ref, long long& x, long long& y);
    WalkEnd walk(int t, TilePort from);
    int counterpart(int t);
    void openEnd(int t, int side, const std::string& what);
    int edgeLength(int t, long long quarters);
};

void GraphBuilder::makeShapes() {
    std::size_t count = doc_.tiles.size();
    shapes_.resize(count);
    known_.assign(count, false);
    for (std::size_t i = 0; i < count; ++i)
        order_.push_back(static_cast<int>(i));
    std::stable_sort(order_.begin(), order_.end(),
                     [this](int a, int b) { return tile(a).line < tile(b).line; });
    for (int t : order_) {
        std::size_t before = problems_.size();
        known_[static_cast<std::size_t>(t)] =
            shapeOf(tile(t), shapes_[static_cast<std::size_t>(t)], problems_);
        for (std::size_t i = before; i < problems_.size(); ++i)
            if (!problems_[i].warning)
                ok_ = false;
    }
}

void GraphBuilder::placeCells() {
    for (int t : order_) {
        for (std::size_t c = 0; c < shape(t).cells.size(); ++c) {
            int x = 0;
            int y = 0;
            cellOf(t, static_cast<int>(c), x, y);
            auto [it, fresh] =
                cells_.emplace(cellKey(x, y, tile(t).z), CellRef{t, static_cast<int>(c)});
            ++totalCells_;
            if (fresh)
                continue;
            error(t, "shares cell (" + std::to_string(x) + ", " + std::to_string(y) +
                         ") of level " + std::to_string(tile(t).z) + " with tile " +
                         tile(it->second.tile).id);
        }
    }
}

void GraphBuilder::makeLevels() {
    std::map<int, int> width; // cells across each level
    for (int t : order_)
        for (std::size_t c = 0; c < shape(t).cells.size(); ++c) {
            int x = 0;
            int y = 0;
            cellOf(t, static_cast<int>(c), x, y);
            int& w = width[tile(t).z];
            w = std::max(w, x + 1);
        }
    long long offset = 0;
    for (auto [z, w] : width) {
        levelOffset_[z] = offset;
        offset += static_cast<long long>(w + 1) * cell_;
    }
}

std::string uniqueName(std::set<std::string>& taken, const std::string& wanted) {
    if (taken.insert(wanted).second)
        return wanted;
    for (int n = 2;; ++n) {
        std::string tail = "~" + std::to_string(n);
        std::string name = wanted.substr(0, NODE_NAME_CAPACITY - 1 - tail.size()) + tail;
        if (taken.insert(name).second)
            return name;
    }
}

void GraphBuilder::makeNodes(Track& track, std::vector<int>& tileOfNode) {
    std::set<std::string>& taken = taken_;
    nodesOfTile_.assign(doc_.tiles.size(), {});
    for (int t : order_) {
        for (const TileNode& local : shape(t).nodes) {
            if (track.nodeCount() >= MAX_TRACK_NODES) {
                error(t, "the plan makes more than 4096 nodes");
                return;
            }
            Node node;
            node.type = local.type;
            node.id = local.id;
            if (local.type == NODE_SENSOR)
                node.contacts[WAY_AHEAD] = node.contacts[WAY_BEHIND] = local.contact;
            if (local.type == NODE_SWITCH)
                node.direction = local.curved ? SWITCH_DIR_CURVED : SWITCH_DIR_STRAIGHT;
            long long x = levelOffset_[tile(t).z] + static_cast<long long>(tile(t).x) * cell_ +
                          static_cast<long long>(local.x4) * cell_ / QUARTERS_PER_CELL;
            long long y = static_cast<long long>(tile(t).y) * cell_ +
                          static_cast<long long>(local.y4) * cell_ / QUARTERS_PER_CELL;
            node.x = node.layoutX = static_cast<std::int32_t>(std::min(x, 2000000000LL));
            node.y = node.layoutY = static_cast<std::int32_t>(std::min(y, 2000000000LL));
            std::string wanted = nodeNameOf(
                tile(t).id.empty() ? "T" + std::to_string(tile(t).line) : tile(t).id, local.suffix);
            std::string name = uniqueName(taken, wanted);
            if (name != wanted)
                warn(t, "the id gives the node name '" + wanted +
                            "' that another node has: named '" + name + "'");
            std::memcpy(node.name, name.c_str(), name.size() + 1);
            nodesOfTile_[static_cast<std::size_t>(t)].push_back(track.nodeCount());
            track.nodes.push_back(node);
            tileOfNode.push_back(t);
        }
    }
}

void GraphBuilder::openEnd(int t, int side, const std::string& what) {
    if (openEnds_.insert({t, side}).second)
        error(t, "open end: the track leaving by its " + std::string(SIDE_NAMES[side]) + " side " +
                     what);
}

// The layout coordinates of the centre of a cell of a tile.
void GraphBuilder::centreOf(const CellRef& ref, long long& x, long long& y) {
    int cx = 0;
    int cy = 0;
    cellOf(ref.tile, ref.cell, cx, cy);
    x = levelOffset_[tile(ref.tile).z] + static_cast<long long>(cx) * cell_ + cell_ / 2;
    y = static_cast<long long>(cy) * cell_ + cell_ / 2;
}

// The connector the track entering connector t goes on from, or -1.
int GraphBuilder::counterpart(int t) {
    const PlanTile& from = tile(t);
    if (from.tknr >= 10) {
        for (int other : order_)
            if (other != t && known_[static_cast<std::size_t>(other)] && shape(other).connector &&
                tile(other).tknr == from.tknr)
                return other;
        return -1;
    }
    int side = shape(t).gapSide;
    int x = 0;
    int y = 0;
    cellOf(t, 0, x, y);
    for (int step = 0; step <= 4096; ++step) {
        x += DX[side];
        y += DY[side];
        if (x < 0 || y < 0 || x > 4096 || y > 4096)
            return -1;
        CellRef ref = at(x, y, from.z);
        if (ref.tile < 0 || !shape(ref.tile).connector || tile(ref.tile).tknr >= 10)
            continue;
        if (shape(ref.tile).gapSide == oppositeSide(side))
            return ref.tile;
    }
    return -1;
}

WalkEnd GraphBuilder::walk(int t, TilePort from) {
    WalkEnd end;
    int limit = 2 * totalCells_ + 16;
    for (int step = 0; step < limit; ++step) {
        int side = from.side;
        int x = 0;
        int y = 0;
        cellOf(t, from.cell, x, y);
        CellRef next = at(x + DX[side], y + DY[side], tile(t).z);
        if (next.tile < 0) {
            openEnd(t, side, "meets no track");
            return end;
        }
        if (!known_[static_cast<std::size_t>(next.tile)])
            return end; // already an error of its own
        TilePort entry{next.cell, oppositeSide(side)};
        const TileShape& s = shape(next.tile);
        for (std::size_t d = 0; d < s.doors.size(); ++d)
            if (s.doors[d].port == entry) {
                end.reached = true;
                end.tile = next.tile;
                end.door = static_cast<int>(d);
                end.quarters += s.doors[d].quarters;
                return end;
            }
        if (std::find(s.closed.begin(), s.closed.end(), entry) != s.closed.end())
            return end;
        if (s.connector && s.attach == entry) {
            int other = counterpart(next.tile);
            if (other < 0) {
                error(next.tile, "connector without a counterpart");
                return end;
            }
            end.quarters += 2 * QUARTERS_PER_CELL;
            t = other;
            from = shape(other).attach;
            continue;
        }
        const TileLink* through = nullptr;
        for (const TileLink& link : s.links)
            if (link.a == entry || link.b == entry)
                through = &link;
        if (through == nullptr) {
            openEnd(t, side, "meets tile " + tile(next.tile).id + ", which has no track there");
            return end;
        }
        bool forward = through->a == entry;
        end.quarters += through->quarters;
        end.cells.push_back(next);
        t = next.tile;
        from = forward ? through->b : through->a;
    }
    error(t, "the track runs in a loop without a node");
    return end;
}

int GraphBuilder::edgeLength(int t, long long quarters) {
    long long length = quarters * cell_ / QUARTERS_PER_CELL;
    if (length > MAX_PLAN_EDGE) {
        error(t, "the track from here to the next node is " + std::to_string(length) +
                     " units long, more than 1000000");
        return MAX_PLAN_EDGE;
    }
    return static_cast<int>(std::max(1LL, length));
}

void GraphBuilder::makeEdges(Track& track) {
    for (int t : order_) {
        const TileShape& s = shape(t);
        const std::vector<int>& nodes = nodesOfTile_[static_cast<std::size_t>(t)];
        if (nodes.size() != s.nodes.size())
            continue; // the node table filled up
        for (const NodeDoor& door : s.doors) {
            WalkEnd end = walk(t, door.port);
            if (!end.reached)
                continue;
            const TileShape& far = shape(end.tile);
            const NodeDoor& farDoor = far.doors[static_cast<std::size_t>(end.door)];
            const std::vector<int>& farNodes = nodesOfTile_[static_cast<std::size_t>(end.tile)];
            if (farNodes.size() != far.nodes.size())
                continue;
            NodeEdge& edge =
                track.nodes[static_cast<std::size_t>(nodes[door.node])].edges[door.slot];
            edge.dest = farNodes[static_cast<std::size_t>(farDoor.node)];
            edge.distance = edgeLength(t, end.quarters + door.quarters);
            std::pair<int, int> here{nodes[door.node], door.slot};
            std::pair<int, int> there{edge.dest, farDoor.slot};
            if (there < here)
                continue; // found from the other end
            runOfSlot_[here] = runOfSlot_[there] = static_cast<int>(runs_.size());
            runs_.push_back(
                {here.first, here.second, there.first, there.second, std::move(end.cells)});
        }
        for (const InnerEdge& inner : s.inner) {
            NodeEdge& edge =
                track.nodes[static_cast<std::size_t>(nodes[inner.from])].edges[inner.slot];
            edge.dest = nodes[static_cast<std::size_t>(inner.to)];
            edge.distance = edgeLength(t, inner.quarters);
        }
    }
}

// Puts `pieces - 1` nodes without contacts on the run, evenly: at the
// middle cells of its track, or between its ends where it has none.
void GraphBuilder::splitRun(Track& track, std::vector<int>& tileOfNode, int index, int pieces) {
    Run& run = runs_[static_cast<std::size_t>(index)];
    run.split = true;
    // Copies: the node table grows below.
    const Node a = track.nodes[static_cast<std::size_t>(run.nodeA)];
    const Node b = track.nodes[static_cast<std::size_t>(run.nodeB)];
    const std::int32_t total = a.edges[run.slotA].distance;
    const int t = tileOfNode[static_cast<std::size_t>(run.nodeA)];
    int previous = run.nodeA;
    int previousSlot = run.slotA;
    std::int32_t done = 0;
    for (int k = 1; k < pieces; ++k) {
        if (track.nodeCount() >= MAX_TRACK_NODES) {
            error(t, "the plan makes more than 4096 nodes");
            return;
        }
        Node way;
        way.type = NODE_SENSOR;
        way.id = -1;
        long long x = a.layoutX + (static_cast<long long>(b.layoutX) - a.layoutX) * k / pieces;
        long long y = a.layoutY + (static_cast<long long>(b.layoutY) - a.layoutY) * k / pieces;
        if (!run.cells.empty())
            centreOf(run.cells[run.cells.size() * static_cast<std::size_t>(k) / pieces], x, y);
        way.x = way.layoutX = static_cast<std::int32_t>(std::min(x, 2000000000LL));
        way.y = way.layoutY = static_cast<std::int32_t>(std::min(y, 2000000000LL));
        std::string name = uniqueName(taken_, nodeNameOf(a.name, "~w"));
        std::memcpy(way.name, name.c_str(), name.size() + 1);
        std::int32_t length = std::max(1, total * k / pieces - done);
        done += length;
        int index = track.nodeCount();
        way.edges[EDGE_BEHIND] = {previous, length};
        track.nodes[static_cast<std::size_t>(previous)].edges[previousSlot] = {index, length};
        track.nodes.push_back(way);
        tileOfNode.push_back(t);
        previous = index;
        previousSlot = EDGE_AHEAD;
    }
    std::int32_t rest = std::max(1, total - done);
    track.nodes[static_cast<std::size_t>(previous)].edges[previousSlot] = {run.nodeB, rest};
    track.nodes[static_cast<std::size_t>(run.nodeB)].edges[run.slotB] = {previous, rest};
}

// Where two ways from a node lead to the same node, a train arriving there
// cannot tell which it came by and would turn back: a node without contacts
// on one of the tracks tells them apart (two on a loop from a node back to
// itself).
void GraphBuilder::separateWays(Track& track, std::vector<int>& tileOfNode) {
    for (int i = 0; i < track.nodeCount() && ok_; ++i) {
        for (int j = 0; j < 3; ++j)
            for (int k = j + 1; k < 3; ++k) {
                const Node& node = track.nodes[static_cast<std::size_t>(i)];
                int dest = node.edges[j].dest;
                if (dest < 0 || dest != node.edges[k].dest)
                    continue;
                auto it = runOfSlot_.find({i, k});
                if (it == runOfSlot_.end() || runs_[static_cast<std::size_t>(it->second)].split)
                    it = runOfSlot_.find({i, j});
                if (it == runOfSlot_.end() || runs_[static_cast<std::size_t>(it->second)].split)
                    continue;
                const Run& run = runs_[static_cast<std::size_t>(it->second)];
                std::string from = node.name;
                std::string to = track.nodes[static_cast<std::size_t>(dest)].name;
                splitRun(track, tileOfNode, it->second, run.nodeA == run.nodeB ? 3 : 2);
                warn(tileOfNode[static_cast<std::size_t>(i)],
                     "two ways from node " + from + " lead to node " + to +
                         ": a node without contacts is put on one of them, so that trains "
                         "arriving there do not turn back");
            }
    }
}

// Warns of switches sharing a number: only one follows the controller.
void GraphBuilder::checkWays(const Track& track, const std::vector<int>& tileOfNode) {
    std::map<int, int> numbers;
    for (int i = 0; i < track.nodeCount(); ++i) {
        const Node& node = track.nodes[static_cast<std::size_t>(i)];
        int t = tileOfNode[static_cast<std::size_t>(i)];
        if (node.type != NODE_SWITCH)
            continue;
        auto [it, fresh] = numbers.emplace(node.id, i);
        if (!fresh)
            warn(t, "switch number " + std::to_string(node.id) + " also drives node " +
                        track.nodes[static_cast<std::size_t>(it->second)].name +
                        ": only that one follows the controller");
    }
}

bool GraphBuilder::build(PlanGraph& out) {
    makeShapes();
    placeCells();
    makeLevels();
    out.track = Track();
    out.tileOfNode.clear();
    makeNodes(out.track, out.tileOfNode);
    makeEdges(out.track);
    if (out.track.nodeCount() == 0) {
        problems_.push_back({0, "", "the plan has no feedback, block, switch or buffer", false});
        ok_ = false;
    }
    separateWays(out.track, out.tileOfNode);
    checkWays(out.track, out.tileOfNode);
    indexTrack(out.track);
    return ok_;
}

} // namespace

std::string nodeNameOf(const std::string& id, const char* suffix) {
    std::size_t room = NODE_NAME_CAPACITY - 1 - std::strlen(suffix);
    std::string name = id.substr(0, room);
    for (char& c : name)
        if (c <= ' ' || c > '~' || c == '#')
            c = '_';
    return name + suffix;
}

bool buildPlanGraph(const PlanDocument& doc, int cellLength, PlanGraph& out,
                    std::vector<PlanProblem>& problems) {
    GraphBuilder builder(doc, cellLength, problems);
    return builder.build(out);
}

} // namespace quillon
