#include "backends/posix/ControllerSocket.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace quillon {
namespace {

bool addressOf(const char* path, sockaddr_un& address) {
    address = sockaddr_un{};
    address.sun_family = AF_UNIX;
    if (std::strlen(path) >= sizeof address.sun_path)
        return false;
    std::strcpy(address.sun_path, path);
    return true;
}

// True when something listens at path. The kernel's table of Unix sockets
// tells without connecting, which a listener would take for its peer; where
// that table cannot be read, a non-blocking connection asks instead.
bool listenedOn(const char* path, const sockaddr_un& address) {
    if (std::FILE* table = std::fopen("/proc/net/unix", "r")) {
        bool live = false;
        char line[sizeof address.sun_path + 128];
        while (!live && std::fgets(line, sizeof line, table) != nullptr) {
            unsigned long flags = 0;
            int pathAt = 0;
            // Num RefCount Protocol Flags Type St Inode Path
            if (std::sscanf(line, "%*s %*s %*s %lx %*s %*s %*s %n", &flags, &pathAt) < 1 ||
                pathAt == 0)
                continue;
            line[std::strcspn(line, "\n")] = '\0';
            const unsigned long ACCEPTING = 0x10000;
            live = (flags & ACCEPTING) != 0 && std::strcmp(line + pathAt, path) == 0;
        }
        std::fclose(table);
        return live;
    }
    const int probe = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (probe < 0)
        return false;
    const bool live =
        ::connect(probe, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 ||
        errno == EAGAIN;
    ::close(probe);
    return live;
}

// Clears the way for a new socket at path: nothing there, or a stale socket
// of this user, which is removed. False, with the reason, otherwise.
bool clearPath(const char* path, const sockaddr_un& address, char (&error)[SOCKET_ERROR_CAPACITY]) {
    struct stat status {};
    if (::lstat(path, &status) != 0) {
        if (errno == ENOENT)
            return true;
        std::snprintf(error, sizeof error, "cannot use %s: %s", path, std::strerror(errno));
        return false;
    }
    if (!S_ISSOCK(status.st_mode)) {
        std::snprintf(error, sizeof error, "%s exists and is not a socket", path);
        return false;
    }
    if (status.st_uid != ::geteuid()) {
        std::snprintf(error, sizeof error, "%s is another user's socket", path);
        return false;
    }
    if (listenedOn(path, address)) {
        std::snprintf(error, sizeof error, "another program listens at %s", path);
        return false;
    }
    if (::unlink(path) != 0) {
        std::snprintf(error, sizeof error, "cannot remove %s: %s", path, std::strerror(errno));
        return false;
    }
    return true;
}

} // namespace

int listenForSimulator(const char* path, char (&error)[SOCKET_ERROR_CAPACITY]) {
    error[0] = '\0';
    sockaddr_un address;
    if (!addressOf(path, address)) {
        std::snprintf(error, sizeof error, "socket path too long: %s", path);
        return -1;
    }
    if (!clearPath(path, address, error))
        return -1;
    const int listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listener < 0) {
        std::snprintf(error, sizeof error, "cannot make a socket: %s", std::strerror(errno));
        return -1;
    }
    // Nobody can connect before listen, so the mode is set before anyone can.
    if (::bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::chmod(path, 0600) != 0 || ::listen(listener, 1) != 0) {
        std::snprintf(error, sizeof error, "cannot listen at %s: %s", path, std::strerror(errno));
        ::close(listener);
        return -1;
    }
    return listener;
}

int acceptConnection(int listener, int timeoutMs) {
    pollfd ready{listener, POLLIN, 0};
    int polled = 0;
    do
        polled = ::poll(&ready, 1, timeoutMs);
    while (polled < 0 && errno == EINTR);
    if (polled <= 0)
        return -1;
    return ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
}

int connectToSocket(const char* path) {
    sockaddr_un address;
    if (!addressOf(path, address))
        return -1;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace quillon
