// quillon-ctl check: every mistake of a layout file, with the warnings of
// what loads but is likely wrong.
#include "ctl/Ctl.h"
#include "ctl/PlanCommands.h"
#include "plan/PlanImport.h"
#include "track/LayoutCheck.h"
#include "track/LayoutFile.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace quillon::ctl {
namespace {

constexpr const char* USAGE =
    "usage: quillon-ctl check [--strict] FILE...\n"
    "Checks layout files as every program loads them: each mistake as\n"
    "FILE:LINE:COLUMN: what is wrong (exit status 2), then the warnings of what\n"
    "loads but is likely wrong (exit status 0; with --strict they are errors and\n"
    "the exit status is 1). A file without mistakes ends in a summary line on\n"
    "standard output. A Rocrail plan is checked as it is imported: its problems\n"
    "as FILE:LINE: tile ID: what, and whether its locos' lights need\n"
    "--commands full.\n";

struct Counts {
    int switches = 0;
    int contacts = 0;
};

Counts countsOf(const Track& track) {
    Counts counts;
    ContactBits seen{};
    for (const Node& node : track.nodes) {
        counts.switches += node.type == NODE_SWITCH;
        for (int way = WAY_AHEAD; way <= WAY_BEHIND; ++way) {
            const std::int32_t contact = contactOf(node, way);
            if (contact == NO_CONTACT || seen.test(contact))
                continue;
            seen.set(contact);
            ++counts.contacts;
        }
    }
    return counts;
}

// The exit status for one file: 2 for mistakes, 1 for warnings under
// strict, else 0.
int checkFile(const char* path, bool strict) {
    std::string text;
    std::string problem;
    if (!readFileText(path, text, problem)) {
        std::fprintf(stderr, "%s: %s\n", path, problem.c_str());
        return 2;
    }
    if (isRocrailPlan(text))
        return checkPlan(path, text, strict);
    Track track;
    std::vector<LayoutError> errors;
    std::vector<SourcePosition> positions;
    if (!loadLayout(text, track, errors, &positions)) {
        for (const LayoutError& error : errors)
            std::fprintf(stderr, "%s\n", describeLayoutError(path, error).c_str());
        return 2;
    }
    const std::vector<LayoutWarning> warnings = checkLayout(track);
    const char* label = strict ? "error: " : "warning: ";
    for (const LayoutWarning& warning : warnings) {
        SourcePosition at;
        if (warning.node >= 0 && warning.node < static_cast<int>(positions.size()))
            at = positions[static_cast<std::size_t>(warning.node)];
        const LayoutError located{at.line, label + warning.message, at.column};
        std::fprintf(stderr, "%s\n", describeLayoutError(path, located).c_str());
    }
    const Counts counts = countsOf(track);
    const auto plural = [](std::size_t n, const char* ending) { return n == 1 ? "" : ending; };
    std::printf("%s: %zu node%s, %d switch%s, %d contact%s, %zu warning%s\n", path,
                track.nodes.size(), plural(track.nodes.size(), "s"), counts.switches,
                plural(static_cast<std::size_t>(counts.switches), "es"), counts.contacts,
                plural(static_cast<std::size_t>(counts.contacts), "s"), warnings.size(),
                plural(warnings.size(), "s"));
    return strict && !warnings.empty() ? 1 : 0;
}

} // namespace

int check(int argc, char** argv) {
    bool strict = false;
    std::vector<const char*> files;
    for (int i = 0; i < argc; ++i) {
        const char* argument = argv[i];
        if (std::strcmp(argument, "--help") == 0 || std::strcmp(argument, "-h") == 0) {
            std::fputs(USAGE, stdout);
            return 0;
        }
        if (std::strcmp(argument, "--strict") == 0) {
            strict = true;
            continue;
        }
        if (argument[0] == '-' && argument[1] != '\0') {
            const std::string what = std::string("check: unknown option '") + argument + "'";
            return usageError(what.c_str(), USAGE);
        }
        files.push_back(argument);
    }
    if (files.empty())
        return usageError("check: a layout file is needed", USAGE);
    int status = 0;
    for (const char* file : files) {
        const int fileStatus = checkFile(file, strict);
        if (fileStatus > status)
            status = fileStatus;
    }
    return status;
}

} // namespace quillon::ctl
