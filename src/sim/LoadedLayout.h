// Putting a layout read from a file into the world, in place of the one
// loaded before it.
#pragma once

#include "track/Track.h"

namespace quillon {

struct World;

// How the trains on the replaced layout fared.
struct LayoutSwap {
    int kept = 0;    // set back on a node of the same name
    int removed = 0; // their node is gone, or trains were not kept
};

// Makes track the world's loaded layout; which layout is active does not
// change. Afterwards nothing refers to a node of the replaced layout: with
// keepTrains, each train on it stands on the node of the same name in the
// new one, at the start of its segment, set to leave the way it was going,
// its speed step and light kept; every other train on it is removed. The
// selection and the hover of nodes of the loaded layout are cleared, and so
// are those of trains whenever a train moved or went. Records no event.
LayoutSwap installLoadedLayout(World& world, Track track, bool keepTrains);

} // namespace quillon
