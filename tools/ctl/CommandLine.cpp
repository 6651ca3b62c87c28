// The pieces every command of quillon-ctl shares: reporting a usage error,
// the socket path and command set of its options, and the wait for the
// simulator to connect.
#include "backends/posix/ControllerSocket.h"
#include "backends/posix/PosixControllerLink.h"
#include "ctl/Ctl.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace quillon::ctl {

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
