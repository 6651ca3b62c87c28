// quillon-ctl import: a Rocrail plan written as a layout file in the form
// for people, and the plan side of quillon-ctl check.
#include "ctl/Ctl.h"
#include "ctl/PlanCommands.h"
#include "plan/PlanImport.h"
#include "track/LayoutFile.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

namespace quillon::ctl {
namespace {

constexpr const char* USAGE =
    "usage: quillon-ctl import [--cell-length N] PLAN\n"
    "Writes the Rocrail plan PLAN on standard output as a layout file in the\n"
    "form for people, its locos' places as '# --place' comments at the end.\n"
    "Problems go to standard error as PLAN:LINE: tile ID: what; with an error\n"
    "nothing is written and the exit status is 2.\n"
    "  --cell-length N    layout units per grid cell (4..10000, default 100)\n";

bool cellLengthOf(const char* text, int& out) {
    const char* end = text + std::strlen(text);
    auto [stop, error] = std::from_chars(text, end, out);
    return error == std::errc() && stop == end && out >= MIN_CELL_LENGTH && out <= MAX_CELL_LENGTH;
}

void reportProblems(const char* path, const PlanImport& plan, bool strict) {
    for (PlanProblem problem : plan.problems) {
        if (strict && problem.warning) {
            problem.warning = false;
            problem.message = "error: " + problem.message;
        }
        std::fprintf(stderr, "%s\n", describePlanProblem(path, problem).c_str());
    }
}

int countOf(const PlanImport& plan, bool warnings) {
    int count = 0;
    for (const PlanProblem& problem : plan.problems)
        count += problem.warning == warnings;
    return count;
}

} // namespace

int checkPlan(const char* path, const std::string& text, bool strict) {
    PlanImport plan;
    bool ok = importPlan(text, PlanOptions{}, plan);
    reportProblems(path, plan, strict);
    if (!ok)
        return 2;
    int switches = 0;
    for (const Node& node : plan.track.nodes)
        switches += node.type == NODE_SWITCH;
    int warnings = countOf(plan, true);
    std::printf("%s: Rocrail plan, %d nodes, %d switches, %zu trains placed, %d warning%s%s\n",
                path, plan.track.nodeCount(), switches, plan.placements.size(), warnings,
                warnings == 1 ? "" : "s",
                plan.usesLights ? "; locos use lights: run with --commands full" : "");
    return strict && warnings > 0 ? 1 : 0;
}

int import(int argc, char** argv) {
    PlanOptions options;
    const char* path = nullptr;
    for (int i = 0; i < argc; ++i) {
        const char* argument = argv[i];
        if (std::strcmp(argument, "--help") == 0 || std::strcmp(argument, "-h") == 0) {
            std::fputs(USAGE, stdout);
            return 0;
        }
        if (std::strcmp(argument, "--cell-length") == 0) {
            if (i + 1 >= argc || !cellLengthOf(argv[i + 1], options.cellLength))
                return usageError("import: --cell-length needs a number 4..10000", USAGE);
            ++i;
            continue;
        }
        if (argument[0] == '-' && argument[1] != '\0') {
            const std::string what = std::string("import: unknown option '") + argument + "'";
            return usageError(what.c_str(), USAGE);
        }
        if (path != nullptr)
            return usageError("import: one plan at a time", USAGE);
        path = argument;
    }
    if (path == nullptr)
        return usageError("import: a plan is needed", USAGE);
    std::string text;
    std::string problem;
    if (!readFileText(path, text, problem)) {
        std::fprintf(stderr, "%s: %s\n", path, problem.c_str());
        return 2;
    }
    PlanImport plan;
    bool ok = importPlan(text, options, plan);
    reportProblems(path, plan, false);
    if (!ok)
        return 2;
    std::string layout = formatNamedLayout(plan.track);
    layout += "# Imported from a Rocrail plan; its locos stand at:\n";
    for (const PlanPlacement& placement : plan.placements)
        layout += "# --place " + std::to_string(placement.train) + ":" + placement.node +
                  (placement.behind ? ":behind" : "") + "\n";
    if (plan.usesLights)
        layout += "# The locos use lights: run with --commands full.\n";
    std::fwrite(layout.data(), 1, layout.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

} // namespace quillon::ctl
