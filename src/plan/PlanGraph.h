// The track a plan's tiles make: nodes where the plan has feedbacks,
// blocks, switches and buffers, edges along the track between them.
#pragma once

#include "plan/PlanProblem.h"
#include "plan/PlanXml.h"
#include "track/Track.h"

#include <string>
#include <vector>

namespace quillon {

// The longest edge a layout holds, in layout units.
constexpr int MAX_PLAN_EDGE = 1000000;

struct PlanGraph {
    Track track; // indexed
    // For each node, the index of its tile in the plan's tiles.
    std::vector<int> tileOfNode;
};

// Builds the graph of doc's tiles with cells cellLength layout units long.
// Levels lie side by side from left to right in increasing z, one empty
// cell apart. Every problem found is added to problems; false when one of
// them is an error (out is then unspecified).
bool buildPlanGraph(const PlanDocument& doc, int cellLength, PlanGraph& out,
                    std::vector<PlanProblem>& problems);

// The name a tile id gives a node: printable ASCII other than '#' and
// spaces (others become '_'), at most NODE_NAME_CAPACITY - 1 characters
// with the suffix.
std::string nodeNameOf(const std::string& id, const char* suffix);

} // namespace quillon
