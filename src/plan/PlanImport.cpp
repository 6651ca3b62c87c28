#include "plan/PlanImport.h"

#include "plan/PlanGraph.h"
#include "plan/PlanXml.h"

#include <algorithm>
#include <climits>
#include <map>
#include <set>

namespace quillon {

namespace {

// Each loco standing in a block is placed there, leaving by the side
// opposite the one it entered by: "+" (blockenterside true) is the block
// node's behind side, so it sets off ahead.
void placeLocos(const PlanDocument& doc, const PlanGraph& graph, PlanImport& out) {
    std::map<std::string, int> blocks; // block id -> node
    for (int i = 0; i < graph.track.nodeCount(); ++i) {
        const PlanTile& tile =
            doc.tiles[static_cast<std::size_t>(graph.tileOfNode[static_cast<std::size_t>(i)])];
        if (tile.element == "bk" || tile.element == "sb")
            blocks.emplace(tile.id, i);
    }
    std::set<int> trains;
    for (const PlanLoco& loco : doc.locos) {
        out.usesLights = out.usesLights || loco.lights;
        if (loco.block.empty())
            continue;
        auto block = blocks.find(loco.block);
        if (block == blocks.end()) {
            out.problems.push_back({loco.line, loco.id,
                                    "stands in block '" + loco.block.substr(0, 32) +
                                        "', which the plan lacks: not placed",
                                    true});
            continue;
        }
        if (loco.addr < 1 || loco.addr > 255) {
            out.problems.push_back({loco.line, loco.id,
                                    "address " + std::to_string(loco.addr) +
                                        " is beyond the trains 1..255: not placed",
                                    true});
            continue;
        }
        if (!trains.insert(loco.addr).second) {
            out.problems.push_back(
                {loco.line, loco.id,
                 "address " + std::to_string(loco.addr) + " is another placed loco's: not placed",
                 true});
            continue;
        }
        const Node& node = graph.track.nodes[static_cast<std::size_t>(block->second)];
        out.placements.push_back({loco.addr, node.name, !loco.enteredPlus});
    }
}

} // namespace

bool isRocrailPlan(std::string_view text) {
    return looksLikePlan(text);
}

bool importPlan(std::string_view text, const PlanOptions& options, PlanImport& out) {
    out = PlanImport{};
    if (options.cellLength < MIN_CELL_LENGTH || options.cellLength > MAX_CELL_LENGTH) {
        out.problems.push_back({0, "",
                                "cell length " + std::to_string(options.cellLength) +
                                    " is outside " + std::to_string(MIN_CELL_LENGTH) + ".." +
                                    std::to_string(MAX_CELL_LENGTH),
                                false});
        return false;
    }
    PlanDocument doc;
    if (!readPlanXml(text, doc, out.problems))
        return false;
    PlanGraph graph;
    bool ok = buildPlanGraph(doc, options.cellLength, graph, out.problems);
    if (ok)
        placeLocos(doc, graph, out);
    // By line, those of the plan as a whole after the rest.
    auto key = [](const PlanProblem& p) { return p.line > 0 ? p.line : INT_MAX; };
    std::stable_sort(
        out.problems.begin(), out.problems.end(),
        [&key](const PlanProblem& a, const PlanProblem& b) { return key(a) < key(b); });
    if (!ok)
        return false;
    out.track = std::move(graph.track);
    return true;
}

std::string describePlanProblem(std::string_view file, const PlanProblem& problem) {
    std::string text(file);
    if (problem.line > 0)
        text += ":" + std::to_string(problem.line);
    text += ": ";
    if (!problem.tile.empty())
        text += "tile " + problem.tile + ": ";
    if (problem.warning)
        text += "warning: ";
    return text + problem.message;
}

} // namespace quillon
