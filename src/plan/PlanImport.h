// Rocrail plans as layouts: a plan.xml read, its tiles turned into a track,
// its locos into trains placed in their blocks. What cannot be imported is
// said with the line of the tile it concerns, never guessed.
//
// To load a layout file that may be a plan:
//   if (isRocrailPlan(text)) {
//       PlanImport plan;
//       if (!importPlan(text, options, plan)) -> report plan.problems, load nothing
//       use plan.track; place plan.placements (unless the user placed trains);
//       report the warnings in plan.problems
//   }
#pragma once

#include "plan/PlanProblem.h"
#include "track/Track.h"

#include <string>
#include <string_view>
#include <vector>

namespace quillon {

constexpr int MIN_CELL_LENGTH = 4;
constexpr int MAX_CELL_LENGTH = 10000;

struct PlanOptions {
    int cellLength = 100; // layout units per grid cell, MIN_CELL_LENGTH..MAX_CELL_LENGTH
};

// A loco of the plan standing in a block: the train numbered by its address,
// on the block's node, setting off along the node's behind way when behind.
struct PlanPlacement {
    int train = 0;
    std::string node;
    bool behind = false;
};

struct PlanImport {
    Track track; // indexed, window positions equal to layout coordinates
    std::vector<PlanPlacement> placements;
    std::vector<PlanProblem> problems; // errors and warnings by line, line 0 last
    bool usesLights = false;           // some loco has its lights on
};

// True when the text is an XML document whose root element is a Rocrail
// plan (<plan>, or <modplan>, which importPlan refuses), whatever it
// holds after that.
bool isRocrailPlan(std::string_view text);

// Imports the plan. True when it holds no error: out then holds the track,
// the placements, the warnings and whether lights are used. False when it
// does: out.problems says every error found (and the warnings), and the
// rest of out is unspecified. The text may hold anything.
bool importPlan(std::string_view text, const PlanOptions& options, PlanImport& out);

// "FILE:LINE: tile ID: what", with "warning: " before what for a warning;
// without "tile ID: " for a problem of no tile and without ":LINE" for one
// of the plan as a whole. No line feed.
std::string describePlanProblem(std::string_view file, const PlanProblem& problem);

} // namespace quillon
