#include "track/TrackWalk.h"

#include "track/Track.h"

#include <set>
#include <utility>

namespace quillon {
namespace {

class Walk {
public:
    explicit Walk(const Track& track)
        : track_(track), visited_(static_cast<std::size_t>(track.nodeCount()), false) {}

    std::vector<WalkEdge> run() {
        if (track_.nodeCount() < 1)
            return {};
        defer(slotOf(track_.nodes[0].edges[0].dest), 0);
        while (!pending_.empty()) {
            auto [from, at] = pending_.back();
            pending_.pop_back();
            follow(from, at);
        }
        addUnreached();
        return std::move(order_);
    }

private:
    // The index of an edge's far end, or -1 when it names no node.
    int slotOf(std::int32_t dest) const {
        return dest >= 0 && dest < track_.nodeCount() ? dest : -1;
    }

    // Keeps a branch for later, once: otherwise two switches whose branches
    // lead to each other would defer each other's branches for ever.
    void defer(int from, int to) {
        if (from < 0 || to < 0 || !deferred_.insert({from, to}).second)
            return;
        pending_.push_back({from, to});
    }

    void draw(int at, int from) {
        if (drawn_.count({at, from}) != 0 || drawn_.count({from, at}) != 0)
            return;
        drawn_.insert({at, from});
        order_.push_back({at, from});
    }

    // The node a train would run to from at, having come from from; -1
    // where the walk ends. At a switch the branch not taken is deferred.
    int next(int from, int at) {
        const Node& node = track_.nodes[static_cast<std::size_t>(at)];
        auto slot = [&](int edge) { return slotOf(node.edges[edge].dest); };
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
                defer(at, slot(EDGE_CURVED));
                return slot(EDGE_COMMON);
            }
            if (from == node.edges[EDGE_CURVED].dest) {
                defer(at, slot(EDGE_STRAIGHT));
                return slot(EDGE_COMMON);
            }
            if (from == node.edges[EDGE_COMMON].dest) {
                defer(at, slot(EDGE_CURVED));
                return slot(EDGE_STRAIGHT);
            }
            return -1;
        default:
            return -1;
        }
    }

    void follow(int from, int at) {
        for (;;) {
            draw(at, from);
            int n = next(from, at);
            if (n < 0 || visited_[static_cast<std::size_t>(n)])
                return;
            visited_[static_cast<std::size_t>(n)] = true;
            from = at;
            at = n;
        }
    }

    void addUnreached() {
        for (int i = 0; i < track_.nodeCount(); ++i)
            for (const NodeEdge& edge : track_.nodes[static_cast<std::size_t>(i)].edges)
                if (slotOf(edge.dest) >= 0 && edge.dest != i)
                    draw(edge.dest, i);
    }

    const Track& track_;
    std::vector<bool> visited_;
    std::set<std::pair<int, int>> drawn_;
    std::set<std::pair<int, int>> deferred_;
    std::vector<std::pair<int, int>> pending_;
    std::vector<WalkEdge> order_;
};

} // namespace

std::vector<WalkEdge> walkTrack(const Track& track) {
    return Walk(track).run();
}

} // namespace quillon
