// What loads but is likely wrong in a layout: the warnings a user sees when
// checking a layout file.
#pragma once

#include "track/Track.h"

#include <string>
#include <vector>

namespace quillon {

struct LayoutWarning {
    int node; // the index of the node it concerns
    std::string message;
};

// The warnings for a loaded track, by node index: an edge not met by an
// edge back from the node it leads to; a switch whose straight or curved
// branch leads nowhere; a contact reported by two sensors (once, at the
// second); each part of the layout that no train can reach from the part of
// node 0 (once, at its first node). Empty for a track without doubts.
std::vector<LayoutWarning> checkLayout(const Track& track);

} // namespace quillon
