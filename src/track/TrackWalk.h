// The order in which the track's edges are drawn: a walk from node 0 as a
// train would run, every branch not taken kept for later, each edge once;
// then every edge the walk did not reach (a part of the layout no train
// from node 0 can get to), in node order.
#pragma once

#include <cstdint>
#include <vector>

namespace quillon {

struct Track;

// An edge between two nodes as the walk met it: at the node reached, from
// the node it came from.
struct WalkEdge {
    std::int32_t at;
    std::int32_t from;
};

// The track's edges in walk order. Allocates; call it when a track is built.
std::vector<WalkEdge> walkTrack(const Track& track);

} // namespace quillon
