#include "backends/posix/ControllerSocket.h"

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <linux/sock_diag.h>
#include <linux/unix_diag.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
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

// The kernel's device number as the socket table reports it, in the form
// stat gives: 12 bits of major number above 20 bits of minor number.
dev_t fromKernelDevice(std::uint32_t device) {
    return makedev(device >> 20, device & 0xFFFFF);
}

// Whether a listening socket is bound to the file file, asked of the
// kernel's socket table by the file's device and inode, so that any
// spelling of the path (relative, with "." or "//") finds the same
// listener. Unknown when the table cannot be asked.
enum class Listening { No, Yes, Unknown };

Listening listenerOnFile(const struct stat& file) {
    const int table = ::socket(AF_NETLINK, SOCK_DGRAM | SOCK_CLOEXEC, NETLINK_SOCK_DIAG);
    if (table < 0)
        return Listening::Unknown;
    struct {
        nlmsghdr header;
        unix_diag_req request;
    } ask{};
    ask.header.nlmsg_len = sizeof ask;
    ask.header.nlmsg_type = SOCK_DIAG_BY_FAMILY;
    ask.header.nlmsg_flags = NLM_F_REQUEST | NLM_F_DUMP;
    ask.request.sdiag_family = AF_UNIX;
    constexpr int LISTENING_STATE = 10; // TCP_LISTEN, the state of a listening Unix socket
    ask.request.udiag_states = 1u << LISTENING_STATE;
    ask.request.udiag_show = UDIAG_SHOW_VFS;
    if (::send(table, &ask, sizeof ask, 0) != static_cast<ssize_t>(sizeof ask)) {
        ::close(table);
        return Listening::Unknown;
    }
    Listening found = Listening::No;
    alignas(nlmsghdr) char reply[16384];
    for (bool done = false; !done;) {
        ssize_t length = ::recv(table, reply, sizeof reply, 0);
        if (length <= 0) {
            found = Listening::Unknown;
            break;
        }
        for (auto* header = reinterpret_cast<nlmsghdr*>(reply); NLMSG_OK(header, length);
             header = NLMSG_NEXT(header, length)) {
            if (header->nlmsg_type == NLMSG_DONE || header->nlmsg_type == NLMSG_ERROR) {
                if (header->nlmsg_type == NLMSG_ERROR)
                    found = Listening::Unknown;
                done = true;
                break;
            }
            const auto* socket = static_cast<const unix_diag_msg*>(NLMSG_DATA(header));
            int left = static_cast<int>(header->nlmsg_len - NLMSG_LENGTH(sizeof *socket));
            for (auto* field = reinterpret_cast<rtattr*>(const_cast<unix_diag_msg*>(socket) + 1);
                 RTA_OK(field, left); field = RTA_NEXT(field, left)) {
                if (field->rta_type != UNIX_DIAG_VFS)
                    continue;
                const auto* bound = static_cast<const unix_diag_vfs*>(RTA_DATA(field));
                if (bound->udiag_vfs_ino == file.st_ino &&
                    fromKernelDevice(bound->udiag_vfs_dev) == file.st_dev)
                    found = Listening::Yes;
            }
        }
    }
    ::close(table);
    return found;
}

// True when something listens on the socket file at path. The kernel's
// socket table tells without connecting, which a listener would take for
// its peer; where that table cannot be asked, a non-blocking connection
// asks instead.
bool listenedOn(const struct stat& file, const sockaddr_un& address) {
    if (const Listening listening = listenerOnFile(file); listening != Listening::Unknown)
        return listening == Listening::Yes;
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
    if (listenedOn(status, address)) {
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

std::size_t longestSocketPath() {
    return sizeof sockaddr_un::sun_path - 1;
}

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

bool sendAll(int fd, const std::uint8_t* bytes, std::size_t count) {
    std::size_t sent = 0;
    while (sent < count) {
        const ssize_t n = ::send(fd, bytes + sent, count - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

int receiveWithin(int fd, std::uint8_t* bytes, int count, int timeoutMs) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    int got = 0;
    while (got < count) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        pollfd ready{fd, POLLIN, 0};
        const int polled = ::poll(&ready, 1, left < 0 ? 0 : static_cast<int>(left));
        if (polled < 0 && errno == EINTR)
            continue;
        if (polled == 0)
            return got;
        if (polled < 0)
            return -1;
        const ssize_t n = ::recv(fd, bytes + got, static_cast<std::size_t>(count - got), 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return -1;
        got += static_cast<int>(n);
    }
    return got;
}

} // namespace quillon
