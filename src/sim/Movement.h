// The movement step: trains advance by elapsed time, cross nodes, latch the
// sensors they pass, halt at stops and collide.
#pragma once

#include "track/Track.h"

#include <cstdint>

namespace quillon {

struct World;

// Speeds in layout units per second are VELOCITY[step] * 0.7.
extern const int VELOCITY[15];

// The edge slot by which a train leaves node forward or backward, or -1.
int chooseEdge(const Node& node, bool forward);

// Advances every train by elapsedMs, latching passed sensors into the
// world's latch and recording what happened. Returns true when at least
// one train was due to move; none is while the track power is off. The
// caller supplies the time; no clock is read.
bool stepTrains(World& world, std::int32_t elapsedMs);

// True when the next stepTrains would move a train: the track has power and
// a placed train has a speed step, is not held and has not crashed.
bool trainsDue(const World& world);

} // namespace quillon
