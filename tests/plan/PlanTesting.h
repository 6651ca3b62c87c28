// Helpers of the plan import's tests: plans read from tests/plan/plans and
// a track's edges as text that tables can name.
#pragma once

#include "plan/PlanImport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace quillon::testing {

inline std::string planText(const std::string& file) {
    std::ifstream in(std::string(QUILLON_PLANS) + "/" + file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// A plan of the given lists inside <plan>.
inline std::string planOf(const std::string& lists) {
    return "<plan rocrailversion=\"2.1\">\n" + lists + "</plan>\n";
}

inline const Node* nodeNamed(const Track& track, const std::string& name) {
    int index = findNodeNamed(track, name.c_str());
    return index == NO_INDEX ? nullptr : &track.nodes[static_cast<std::size_t>(index)];
}

// "DEST LENGTH" for the edge in slot of the named node, "-" for none, "?"
// for no such node.
inline std::string edgeOf(const Track& track, const std::string& name, int slot) {
    const Node* node = nodeNamed(track, name);
    if (node == nullptr)
        return "?";
    const NodeEdge& edge = node->edges[slot];
    if (edge.dest < 0)
        return "-";
    return std::string(track.nodes[static_cast<std::size_t>(edge.dest)].name) + " " +
           std::to_string(edge.distance);
}

// Every problem described, one per line, for failure messages.
inline std::string problemsOf(const PlanImport& plan) {
    std::string text;
    for (const PlanProblem& problem : plan.problems)
        text += describePlanProblem("plan", problem) + "\n";
    return text;
}

} // namespace quillon::testing
