// [x] connect  [x] read  [x] write  [x] isConnected  [x] close  [x] same user
#include "backends/posix/PosixControllerLink.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace quillon {

std::string controllerSocketPath() {
    const char* explicitPath = std::getenv("QUILLON_PIPE");
    if (explicitPath != nullptr && explicitPath[0] != '\0')
        return explicitPath;
    const char* runtimeDir = std::getenv("XDG_RUNTIME_DIR");
    if (runtimeDir != nullptr && runtimeDir[0] != '\0')
        return std::string(runtimeDir) + "/track";
    return "/tmp/track";
}

PosixControllerLink::PosixControllerLink(const char* path) {
    std::strncpy(path_, path != nullptr ? path : "", PATH_CAPACITY);
    path_[PATH_CAPACITY] = '\0';
}

PosixControllerLink::~PosixControllerLink() {
    close();
}

bool PosixControllerLink::connect() {
    // A stale socket is released, not leaked: each reconnection attempt
    // would otherwise keep one descriptor.
    close();

    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::size_t length = std::strlen(path_);
    if (length == 0 || length >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, path_, length + 1);

    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    // A Unix stream connect completes at once or fails at once (EAGAIN when
    // the listener's queue is full); it never leaves the GUI thread waiting.
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return false;
    }
    // Only a controlling program of our own user may drive the simulator.
    ucred peer{};
    socklen_t size = sizeof peer;
    if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0 || size != sizeof peer ||
        peer.uid != ::geteuid()) {
        ::close(fd);
        return false;
    }
    fd_ = fd;
    return true;
}

int PosixControllerLink::read(std::uint8_t* buffer, int maxCount) {
    if (fd_ < 0 || maxCount < 1)
        return 0;
    int waiting = 0;
    if (::ioctl(fd_, FIONREAD, &waiting) != 0 || waiting <= 0)
        return 0;
    ssize_t got = ::recv(fd_, buffer, static_cast<std::size_t>(maxCount), MSG_DONTWAIT);
    if (got > 0) {
        buffer[got] = 0;
        return static_cast<int>(got);
    }
    if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
        return 0;
    broken_ = true;
    return got == 0 ? 0 : -1;
}

int PosixControllerLink::write(const std::uint8_t* bytes, int count) {
    if (fd_ < 0 || broken_ || count < 0)
        return -1;
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(WRITE_WAIT_MS);
    int sent = 0;
    while (sent < count) {
        ssize_t n = ::send(fd_, bytes + sent, static_cast<std::size_t>(count - sent),
                           MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) {
            sent += static_cast<int>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        bool full = n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
        if (full && sent == 0)
            return -1; // nothing went out: the stream is intact, this write is dropped
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        pollfd ready{fd_, POLLOUT, 0};
        if (full && left.count() > 0 && ::poll(&ready, 1, static_cast<int>(left.count())) > 0)
            continue;
        broken_ = true;
        return -1;
    }
    return count;
}

bool PosixControllerLink::isConnected() {
    if (fd_ < 0 || broken_)
        return false;
    std::uint8_t next;
    ssize_t n = ::recv(fd_, &next, 1, MSG_PEEK | MSG_DONTWAIT);
    if (n > 0)
        return true; // bytes still wait, even if the peer has already left
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
        return true;
    broken_ = true;
    return false;
}

bool PosixControllerLink::close() {
    if (fd_ < 0)
        return false;
    ::close(fd_);
    fd_ = -1;
    broken_ = false;
    return true;
}

} // namespace quillon
