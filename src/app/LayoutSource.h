// A layout from the file a user names: a layout file in either of our own
// forms, or a Rocrail plan, told apart by what the file holds. Every program
// reads the layouts users give it through here.
#pragma once

#include "plan/PlanImport.h"
#include "track/LayoutFile.h"
#include "track/Track.h"

#include <string>
#include <vector>

namespace quillon {

struct LayoutSource {
    Track track; // indexed, window positions equal to layout coordinates
    // A layout file: where each node's statement or entry begins, by index.
    std::vector<SourcePosition> positions;
    // A plan: its locos standing in blocks, to be placed unless the user
    // places trains.
    std::vector<PlanPlacement> placements;
    // A plan: what imports but is worth a word, each as "FILE:LINE: ...".
    std::vector<std::string> warnings;
};

// Reads the file at path. A plan is imported with cells cellLength layout
// units long. True with out filled; otherwise out is unspecified and errors
// gains every error, each a line "FILE:LINE[:COLUMN]: what" (or "FILE:
// what" for the file as a whole), without a line feed.
bool readLayoutSource(const std::string& path, int cellLength, LayoutSource& out,
                      std::vector<std::string>& errors);

} // namespace quillon
