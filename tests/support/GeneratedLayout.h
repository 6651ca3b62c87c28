// A big layout for tests, fuzzing and benchmarks, built from a seed.
#pragma once

#include "track/Track.h"

#include <cstdint>

namespace quillon {

constexpr int GENERATED_NODES = MAX_TRACK_NODES;

// A connected layout of 4096 nodes: 64 loops in an 8 x 8 grid, each with a
// passing loop, joined by a branch to each neighbour in its row and, in the
// first column, to the rows above and below; and one siding that ends at a
// stop. Its 255 switches carry the numbers 1..255 once each; its sensors use
// every id 0..247 (contacts 0..495), each id on about 14 nodes. The seed
// chooses switch numbers and directions, sensor ids and which way each
// sensor and branch switch faces; one seed always gives the same layout.
// Indexed, with the built-ins' collision gap, and stated exactly by the
// layout text form.
Track generateLayout(std::uint32_t seed);

} // namespace quillon
