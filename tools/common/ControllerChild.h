// The controlling program of an in-process tool: a child process forked
// before Qt starts any thread, listening on a socket in a fresh folder that
// QUILLON_PIPE names, and telling the tool how it fares through a pipe.
#pragma once

#include "backends/posix/ControllerSocket.h"

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <sys/types.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace quillon::tools {

inline void sleepMs(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// A socket listening at path (a stale socket there is replaced), or -1.
inline int listenAt(const std::string& path) {
    char error[SOCKET_ERROR_CAPACITY];
    return listenForSimulator(path.c_str(), error);
}

// All the bytes; false when they did not all go.
inline bool sendAll(int fd, const std::vector<std::uint8_t>& bytes) {
    return quillon::sendAll(fd, bytes.data(), bytes.size());
}

// count bytes within timeoutMs; false when they did not all come in time.
inline bool readExactly(int fd, std::uint8_t* bytes, std::size_t count, int timeoutMs) {
    const int wanted = static_cast<int>(count);
    return receiveWithin(fd, bytes, wanted, timeoutMs) == wanted;
}

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
