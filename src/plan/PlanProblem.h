// What an import found wrong with a plan: errors that stop it, warnings
// that do not.
#pragma once

#include <string>

namespace quillon {

struct PlanProblem {
    int line = 0;     // 1-based line of the plan's text; 0 for the plan as a whole
    std::string tile; // the id of the tile or loco it concerns; empty for none
    std::string message;
    bool warning = false;
};

} // namespace quillon
