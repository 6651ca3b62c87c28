// [x] connect  [x] read  [x] write  [x] isConnected  [x] close  [x] same user
#include "backends/posix/PosixControllerLink.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
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

PosixControllerLink::PosixControllerLink(const char* path, const char* program)
    : program_(program) {
    std::strncpy(path_, path != nullptr ? path : "", PATH_CAPACITY);
    path_[PATH_CAPACITY] = '\0';
}

PosixControllerLink::~PosixControllerLink() {
    close();
}

void PosixControllerLink::refuse(Refusal cause) {
    if (cause == lastRefusal_)
        return;
    lastRefusal_ = cause;
    const char* why = "";
    switch (cause) {
    case Refusal::PathTooLong:
        why = "the path is too long for a socket";
        break;
    case Refusal::SymbolicLink:
        why = "it is a symbolic link";
        break;
    case Refusal::OtherOwner:
        why = "it belongs to another user";
        break;
    case Refusal::NotASocket:
        why = S_ISDIR(kindAtRefusal_) ? "it is a folder, not a socket" : "it is not a socket";
        break;
    case Refusal::OtherPeer:
        why = "the program listening there runs as another user";
        break;
    case Refusal::None:
        return;
    }
    std::fprintf(stderr, "%s: not connecting to %s: %s\n", program_, path_, why);
}

bool PosixControllerLink::connect() {
    // A stale socket is released, not leaked: each reconnection attempt
    // would otherwise keep one descriptor.
    close();

    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::size_t length = std::strlen(path_);
    if (length == 0)
        return false;
    if (length >= sizeof address.sun_path) {
        refuse(Refusal::PathTooLong);
        return false;
    }
    std::memcpy(address.sun_path, path_, length + 1);
    // Another user could otherwise point the path at a socket of theirs.
    struct stat file {};
    if (::lstat(path_, &file) != 0) {
        lastRefusal_ = Refusal::None; // nothing there yet: not a refusal
        return false;
    }
    if (S_ISLNK(file.st_mode)) {
        refuse(Refusal::SymbolicLink);
        return false;
    }
    if (file.st_uid != ::geteuid()) {
        refuse(Refusal::OtherOwner);
        return false;
    }
    if (!S_ISSOCK(file.st_mode)) {
        kindAtRefusal_ = file.st_mode;
        refuse(Refusal::NotASocket);
        return false;
    }

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
        refuse(Refusal::OtherPeer);
        return false;
    }
    fd_ = fd;
    reads_ = 0;
    readsAtLastCheck_ = 0;
    lastRefusal_ = Refusal::None;
    return true;
}

int PosixControllerLink::read(std::uint8_t* buffer, int maxCount) {
    if (fd_ < 0 || maxCount < 1)
        return 0;
    ++reads_;
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
    bool readSinceLastCheck = reads_ != readsAtLastCheck_;
    readsAtLastCheck_ = reads_;
    pollfd state{fd_, POLLIN | POLLRDHUP, 0};
    if (::poll(&state, 1, 0) < 0)
        return errno == EINTR;
    if (state.revents & (POLLERR | POLLNVAL)) {
        broken_ = true;
        return false;
    }
    // A peer that only shut its sending side still reads what it asked for.
    if (!(state.revents & POLLHUP))
        return true;
    // The peer has left. Bytes it sent before leaving are still delivered
    // while someone reads them.
    int waiting = 0;
    if (::ioctl(fd_, FIONREAD, &waiting) == 0 && waiting > 0 && readSinceLastCheck)
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
