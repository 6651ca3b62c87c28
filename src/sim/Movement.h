// The movement step: trains advance by real time, cross nodes, latch the
// sensors they pass, halt at stops and collide.
#pragma once

#include "track/TrackLayout.h"

#include <cstdint>

namespace quillon {

struct SensorReport;

// Speeds in layout units per second are VELOCITY[step] * 0.7.
extern const int VELOCITY[15];

// The edge by which a train leaves node forward or backward, or nullptr.
NodeEdge* chooseEdge(TrackNode& node, bool forward);

// The node of the active layout at the far end of chooseEdge, or nullptr
// (also when the edge leads to no node of the active layout).
TrackNode* nodeAlong(TrackNode& node, bool forward);

// Advances every train by elapsedMs, latching passed sensors into report.
// Returns true when at least one train was due to move.
bool stepTrains(std::int32_t elapsedMs, SensorReport& report);

} // namespace quillon
