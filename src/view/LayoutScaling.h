// Fitting the layouts to the window: each node's layout coordinates are
// stretched onto the drawing area and the resulting pixel position is
// written into the node's x and y.
#pragma once

namespace quillon {

struct Track;
struct World;

constexpr int SCALE_OFFSET = 48;  // left and top margin, pixels
constexpr int SCALE_RESERVE = 80; // the usable extent is the size less this

// Writes the pixel position of every node of track for a drawing area of
// width x height. The node with the smallest layout x lands on x = 48, the
// largest on width - 32; likewise in y. An axis on which every node has the
// same coordinate puts every node at 48. Axes stretch independently.
void rescaleTrack(Track& track, int width, int height);

// rescaleTrack on every layout of the world; the trains' display positions
// follow their nodes.
void rescaleLayouts(World& world, int width, int height);

} // namespace quillon
