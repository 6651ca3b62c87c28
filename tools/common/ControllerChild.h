// The controlling program of an in-process tool: a child process forked
// before Qt starts any thread, listening on a socket in a fresh folder that
// QUILLON_PIPE names, and telling the tool how it fares through a pipe.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <sys/types.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace quillon::tools {

inline void sleepMs(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// A socket listening at path (a stale file there is removed first), or -1.
inline int listenAt(const std::string& path) {
    int listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    ::unlink(path.c_str());
    if (listener < 0 ||
        ::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener, 1) != 0) {
        ::close(listener);
        return -1;
    }
    return listener;
}

// All the bytes in one send; false when they did not all go.
inline bool sendAll(int fd, const std::vector<std::uint8_t>& bytes) {
    return ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL) == ssize_t(bytes.size());
}

// count bytes within timeoutMs; false when they did not all come in time.
inline bool readExactly(int fd, std::uint8_t* bytes, std::size_t count, int timeoutMs) {
    using Clock = std::chrono::steady_clock;
    std::size_t got = 0;
    auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (got < count) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now());
        pollfd ready{fd, POLLIN, 0};
        if (left.count() <= 0 || ::poll(&ready, 1, static_cast<int>(left.count())) <= 0)
            return false;
        ssize_t n = ::recv(fd, bytes + got, count - got, 0);
        if (n <= 0)
            return false;
        got += static_cast<std::size_t>(n);
    }
    return true;
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
