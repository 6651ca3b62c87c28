#include "backends/headless/HeadlessOptions.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace quillon::headless {
namespace {

constexpr double SLOWEST = 0.001;
constexpr double FASTEST = 10000.0;

// optionValue as a test: true when argv[i] is the option name.
bool valueOf(const char* name, int argc, const char* const* argv, int& i, const char*& value,
             bool& missing) {
    value = optionValue(name, argc, argv, i, missing);
    return value != nullptr;
}

} // namespace

bool parseHeadlessOptions(int argc, const char* const* argv, HeadlessOptions& options,
                          ParsedOptions& common, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        const char* value = nullptr;
        bool missing = false;
        if (std::strcmp(argv[i], "--connect") == 0) {
            options.connect = true;
        } else if (std::strcmp(argv[i], "--quiet") == 0) {
            options.quiet = true;
        } else if (valueOf("--scenario", argc, argv, i, value, missing)) {
            if (missing || value[0] == '\0') {
                error = "--scenario needs a file";
                return false;
            }
            options.scenario = value;
        } else if (valueOf("--log", argc, argv, i, value, missing)) {
            if (missing || value[0] == '\0') {
                error = "--log needs a file";
                return false;
            }
            options.log = value;
        } else if (valueOf("--speed", argc, argv, i, value, missing)) {
            char* end = nullptr;
            double speed = missing ? 0.0 : std::strtod(value, &end);
            if (missing || end == value || *end != '\0' || !std::isfinite(speed) ||
                speed < SLOWEST || speed > FASTEST) {
                error = std::string("--speed needs a number from 0.001 to 10000") +
                        (missing ? "" : std::string(", not '") + value + "'");
                return false;
            }
            options.speed = speed;
            options.speedGiven = true;
        } else if (!takeCommonOption(common, argc, argv, i)) {
            error = std::string("unknown option '") + argv[i] + "'";
            return false;
        }
        if (!common.ok) {
            error = common.error;
            return false;
        }
    }
    finishOptions(common);
    if (!common.ok) {
        error = common.error;
        return false;
    }
    if (options.connect && options.scenario.empty()) {
        error = "--connect needs --scenario FILE";
        return false;
    }
    if (options.speedGiven && !options.scenario.empty() && !options.connect) {
        error = "--speed needs real time: without --scenario, or with --connect";
        return false;
    }
    if (options.quiet && !options.log.empty()) {
        error = "--quiet and --log exclude each other";
        return false;
    }
    return true;
}

const char* headlessUsageText() {
    static const std::string text =
        std::string(
            "usage: quillon-headless [OPTION]...\n"
            "Runs the simulation without a window: serves a controller over the socket in\n"
            "real time, or runs a scenario in virtual time and checks its expectations.\n"
            "  --scenario FILE     run the scenario as fast as possible; exit status 0 when\n"
            "                      its expectations hold, 1 when one does not; its first\n"
            "                      statement may be 'layout A|B|FILE', FILE relative to\n"
            "                      the scenario's folder\n"
            "  --connect           with --scenario: a real controller drives over the socket\n"
            "                      (the scenario's own controller bytes stand aside)\n"
            "  --speed N           simulated time runs N times as fast as the clock, without\n"
            "                      --scenario or with --connect; N may be fractional (0.5)\n"
            "  --log FILE          write the event log (JSON lines) to FILE instead of\n"
            "                      standard output\n"
            "  --quiet             write no event log\n") +
        commonOptionsText();
    return text.c_str();
}

} // namespace quillon::headless
