// The link over a Unix domain socket, and the wait for the simulator on it.
#include "ctl/Ctl.h"
#include "ctl/Link.h"

#include "backends/posix/ControllerSocket.h"
#include "backends/posix/PosixControllerLink.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace quillon::ctl {
namespace {

int pollFor(pollfd* fds, int count, int timeoutMs) {
    int polled = 0;
    do
        polled = ::poll(fds, static_cast<nfds_t>(count), timeoutMs);
    while (polled < 0 && errno == EINTR);
    return polled;
}

int msUntil(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left < 0 ? 0 : static_cast<int>(left);
}

} // namespace

Link::~Link() {
    ::close(connection_);
}

bool Link::send(const std::uint8_t* bytes, int count) {
    return count <= 0 || sendAll(connection_, bytes, static_cast<std::size_t>(count));
}

int Link::receive(std::uint8_t* bytes, int count, int timeoutMs) {
    return receiveWithin(connection_, bytes, count, timeoutMs);
}

bool Link::drain() {
    std::uint8_t unasked[256];
    for (;;) {
        pollfd ready{connection_, POLLIN, 0};
        if (pollFor(&ready, 1, 0) <= 0)
            return true;
        if (::recv(connection_, unasked, sizeof unasked, 0) <= 0)
            return false;
    }
}

bool Link::waitUntil(Clock::time_point deadline, bool watchInput, bool& inputReady) {
    inputReady = false;
    for (;;) {
        pollfd fds[2] = {{connection_, POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}};
        const int polled = pollFor(fds, watchInput ? 2 : 1, msUntil(deadline));
        if (polled <= 0)
            return polled == 0;
        if (watchInput && (fds[1].revents & (POLLIN | POLLHUP)) != 0) {
            inputReady = true;
            return true;
        }
        if (fds[0].revents != 0 && !drain())
            return false;
    }
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

std::unique_ptr<Link> awaitSimulator(const char* path) {
    char error[SOCKET_ERROR_CAPACITY];
    const int listener = listenForSimulator(path, error);
    if (listener < 0) {
        std::fprintf(stderr, "quillon-ctl: %s\n", error);
        return nullptr;
    }
    std::fprintf(stderr, "quillon-ctl: waiting for Quillon at %s\n", path);
    const int fd = acceptConnection(listener, -1);
    ::close(listener);
    ::unlink(path);
    if (fd < 0) {
        std::fprintf(stderr, "quillon-ctl: no connection at %s\n", path);
        return nullptr;
    }
    std::fprintf(stderr, "quillon-ctl: Quillon connected\n");
    return std::make_unique<Link>(fd);
}

} // namespace quillon::ctl
