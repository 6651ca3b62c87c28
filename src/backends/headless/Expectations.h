// The verdict of a run: each expectation of the scenario checked against
// what the run observed.
#pragma once

#include "backends/headless/HeadlessRun.h"
#include "backends/headless/Scenario.h"

#include <string>
#include <vector>

namespace quillon::headless {

struct Failure {
    int line;            // of the expectation
    std::string message; // "expected ..., got ..."
};

// The expectations that do not hold, in file order; empty when all hold.
// An expectation with "at TIME" counts only what was observed by then.
std::vector<Failure> checkExpectations(const Scenario& scenario,
                                       const std::vector<Observation>& observed,
                                       const Layouts& layouts);

} // namespace quillon::headless
