// The controlling program of an in-process tool: a child process forked
// before Qt starts any thread, listening on a socket in a fresh folder that
// QUILLON_PIPE names, and telling the tool how it fares through a pipe.
#pragma once

#include <cstdlib>
#include <string>
#include <sys/types.h>
#include <unistd.h>

namespace quillon::tools {

struct ControllerChild {
    std::string folder;
    std::string socketPath;
    int fromChild = -1; // the read end of the child's pipe
    pid_t pid = -1;
};

// Makes the folder, points QUILLON_PIPE at the socket in it and forks: the
// child runs controller(socketPath, writeEnd) and exits with its result.
// False when the folder, the pipe or the child cannot be had.
template <typename Controller>
bool startControllerChild(const char* tag, Controller controller, ControllerChild& child) {
    std::string pattern = std::string("/tmp/") + tag + "-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr)
        return false;
    child.folder = pattern;
    child.socketPath = child.folder + "/track";
    ::setenv("QUILLON_PIPE", child.socketPath.c_str(), 1);
    int ends[2];
    if (::pipe(ends) != 0)
        return false;
    child.pid = ::fork();
    if (child.pid == 0) {
        ::close(ends[0]);
        ::_exit(controller(child.socketPath, ends[1]));
    }
    ::close(ends[1]);
    child.fromChild = ends[0];
    return child.pid > 0;
}

} // namespace quillon::tools
