// quillon-ctl tap: sits between Quillon and its controller, passes every
// byte on unchanged and at once, and logs both directions in words.
#include "ctl/Tap.h"
#include "ctl/Ctl.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace quillon::ctl {
namespace {

constexpr const char* USAGE =
    "usage: quillon-ctl tap --listen PATH --connect PATH [--log FILE] [--json]\n"
    "                       [--commands basic|full]\n"
    "Quillon connects to --listen; the tap connects on to the controller listening\n"
    "at --connect and passes every byte on unchanged in both directions, logging\n"
    "each command and answer with the seconds since the tap started (to standard\n"
    "output, or to FILE). When either side leaves, the tap closes the other and\n"
    "waits for both again.\n";

} // namespace

int tap(int argc, char** argv) {
    const char* listenPath = nullptr;
    const char* connectPath = nullptr;
    const char* logPath = nullptr;
    const char* commands = nullptr;
    bool json = false;
    for (int i = 0; i < argc; ++i) {
        const char* option = argv[i];
        if (std::strcmp(option, "--help") == 0) {
            std::fputs(USAGE, stdout);
            return 0;
        }
        if (std::strcmp(option, "--json") == 0) {
            json = true;
            continue;
        }
        const char** value = std::strcmp(option, "--listen") == 0     ? &listenPath
                             : std::strcmp(option, "--connect") == 0  ? &connectPath
                             : std::strcmp(option, "--log") == 0      ? &logPath
                             : std::strcmp(option, "--commands") == 0 ? &commands
                                                                      : nullptr;
        if (value != nullptr && i + 1 < argc) {
            *value = argv[++i];
            continue;
        }
        const std::string what =
            std::string("tap: unknown option or missing value '") + option + "'";
        return usageError(what.c_str(), USAGE);
    }
    if (listenPath == nullptr || connectPath == nullptr)
        return usageError("tap needs --listen PATH and --connect PATH", USAGE);
    if (std::strcmp(listenPath, connectPath) == 0)
        return usageError("tap: --listen and --connect must differ", USAGE);
    std::string problem;
    CommandSet set = CommandSet::Basic;
    if (!commandSetOf(commands, set, problem) || !socketPathUsable(listenPath, problem) ||
        !socketPathUsable(connectPath, problem))
        return usageError(("tap: " + problem).c_str(), USAGE);
    return runTap({listenPath, connectPath, logPath, json, set});
}

} // namespace quillon::ctl
