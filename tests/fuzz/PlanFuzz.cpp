// Feeds arbitrary texts to the Rocrail plan import. A refused text says at
// least one error; an imported one is a sound track whose placements name
// its nodes.
#include "plan/PlanImport.h"

#include <cstdlib>
#include <cstring>
#include <string_view>

using namespace quillon;

namespace {

bool nodeSound(const Track& track, const Node& node) {
    if (std::memchr(node.name, '\0', sizeof node.name) == nullptr || node.name[0] == '\0')
        return false;
    for (const NodeEdge& edge : node.edges)
        if (edge.dest < -1 || edge.dest >= track.nodeCount() ||
            (edge.dest >= 0 && edge.distance < 1))
            return false;
    if (node.type == NODE_SWITCH && (node.id < 1 || node.id > MAX_SWITCH_NUMBER))
        return false;
    for (std::int32_t contact : node.contacts)
        if (contact != NO_CONTACT && (contact < 0 || contact >= CONTACT_COUNT))
            return false;
    return true;
}

bool importSound(const PlanImport& plan) {
    const Track& track = plan.track;
    if (track.nodeCount() < 1 || track.nodeCount() > MAX_TRACK_NODES)
        return false;
    for (const Node& node : track.nodes)
        if (!nodeSound(track, node))
            return false;
    for (const PlanPlacement& placement : plan.placements)
        if (findNodeNamed(track, placement.node.c_str()) == NO_INDEX)
            return false;
    for (const PlanProblem& problem : plan.problems)
        if (!problem.warning)
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    PlanImport plan;
    bool imported = importPlan(text, PlanOptions{}, plan);
    if (imported && !importSound(plan))
        std::abort();
    if (!imported) {
        bool error = false;
        for (const PlanProblem& problem : plan.problems)
            error = error || !problem.warning;
        if (!error)
            std::abort();
    }
    (void)isRocrailPlan(text);
    return 0;
}
