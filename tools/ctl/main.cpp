// quillon-ctl: a controller for people and scripts, a tap that shows what a
// controller and Quillon say to each other, and a demo show.
#include "backends/posix/ControllerSocket.h"
#include "backends/posix/PosixControllerLink.h"
#include "ctl/Ctl.h"
#include "ctl/PlanCommands.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace quillon::ctl {

constexpr const char* USAGE =
    "usage: quillon-ctl COMMAND [OPTION]...\n"
    "Talks to Quillon as its controller does.\n"
    "  serve [--socket PATH] [--json] [--commands basic|full]\n"
    "                                     drive Quillon with statements from standard input\n"
    "  tap --listen PATH --connect PATH [--log FILE] [--json] [--commands basic|full]\n"
    "                                     forward between Quillon and a controller, logging\n"
    "  demo [--socket PATH] [--place TRAIN:NODE]...\n"
    "                                     run trains on layout A in a show\n"
    "  check [--strict] FILE...           check layout files and plans: mistakes and warnings\n"
    "  import [--cell-length N] PLAN      write a Rocrail plan as a layout file\n"
    "  --help                             show this text and end\n"
    "  --version                          show the version and end\n"
    "'quillon-ctl COMMAND --help' tells more about a command.\n";

int usageError(const char* what, const char* usage) {
    std::fprintf(stderr, "quillon-ctl: %s\n%s", what, usage);
    return 2;
}

std::string socketPathOr(const char* given) {
    return given != nullptr ? std::string(given) : controllerSocketPath();
}

bool socketPathUsable(const char* path, std::string& problem) {
    if (path[0] == '\0') {
        problem = "--socket needs a path";
        return false;
    }
    if (std::strlen(path) <= longestSocketPath())
        return true;
    problem =
        "--socket path is too long: at most " + std::to_string(longestSocketPath()) + " characters";
    return false;
}

bool commandSetOf(const char* option, CommandSet& set, std::string& problem) {
    const char* variable = std::getenv("QUILLON_COMMANDS");
    const bool fromOption = option != nullptr;
    const char* name = fromOption ? option : variable;
    set = CommandSet::Basic;
    if (name == nullptr || (!fromOption && name[0] == '\0'))
        return true;
    if (std::strcmp(name, "basic") == 0 || std::strcmp(name, "full") == 0) {
        set = name[0] == 'f' ? CommandSet::Full : CommandSet::Basic;
        return true;
    }
    problem = std::string(fromOption ? "--commands" : "QUILLON_COMMANDS") +
              " must be basic or full, not '" + std::string(name).substr(0, 64) + "'";
    return false;
}

int awaitSimulator(const char* path) {
    char error[SOCKET_ERROR_CAPACITY];
    const int listener = listenForSimulator(path, error);
    if (listener < 0) {
        std::fprintf(stderr, "quillon-ctl: %s\n", error);
        return -1;
    }
    std::fprintf(stderr, "quillon-ctl: waiting for Quillon at %s\n", path);
    const int fd = acceptConnection(listener, -1);
    ::close(listener);
    ::unlink(path);
    if (fd < 0) {
        std::fprintf(stderr, "quillon-ctl: no connection at %s\n", path);
        return -1;
    }
    std::fprintf(stderr, "quillon-ctl: Quillon connected\n");
    return fd;
}

} // namespace quillon::ctl

int main(int argc, char** argv) {
    using namespace quillon::ctl;
    if (argc < 2)
        return usageError("a command is needed", USAGE);
    const char* command = argv[1];
    if (std::strcmp(command, "--help") == 0 || std::strcmp(command, "-h") == 0) {
        std::fputs(USAGE, stdout);
        return 0;
    }
    if (std::strcmp(command, "--version") == 0) {
        std::fputs("quillon-ctl 1.0\n", stdout);
        return 0;
    }
    if (std::strcmp(command, "serve") == 0)
        return serve(argc - 2, argv + 2);
    if (std::strcmp(command, "tap") == 0)
        return tap(argc - 2, argv + 2);
    if (std::strcmp(command, "demo") == 0)
        return demo(argc - 2, argv + 2);
    if (std::strcmp(command, "check") == 0)
        return check(argc - 2, argv + 2);
    if (std::strcmp(command, "import") == 0)
        return import(argc - 2, argv + 2);
    const std::string what = std::string("unknown command '") + command + "'";
    return usageError(what.c_str(), USAGE);
}
