// The controlling program, played by a test: a Unix socket that listens in a
// fresh folder, accepts the simulator and exchanges bytes with it. Every
// wait is bounded; idle, when given, runs (say the Qt event loop) meanwhile.
#pragma once

#include "backends/posix/ControllerSocket.h"
#include "backends/posix/TestProcess.h"
#include "protocol/CommandFraming.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace quillon::testing {

using Bytes = std::vector<std::uint8_t>;
using Idle = std::function<void()>;

class TestController {
public:
    ~TestController() {
        hangUp();
        stopListening();
    }

    bool listen() {
        char error[SOCKET_ERROR_CAPACITY];
        listener_ = listenForSimulator(path.c_str(), error);
        return listener_ >= 0;
    }
    // Closes the listening socket and removes its file.
    void stopListening() {
        ::close(listener_);
        listener_ = -1;
        ::unlink(path.c_str());
    }
    bool accept(int timeoutMs, const Idle& idle = {}) {
        hangUp();
        if (waitFor(listener_, timeoutMs, idle))
            peer_ = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        return peer_ >= 0;
    }
    // Shuts the sending side only: the peer still reads.
    void shutSending() { ::shutdown(peer_, SHUT_WR); }
    void hangUp() {
        ::close(peer_);
        peer_ = -1;
    }
    bool send(const Bytes& bytes) { return sendAll(peer_, bytes.data(), bytes.size()); }
    // count bytes, or fewer when none come for timeoutMs or the peer hangs up.
    Bytes receive(std::size_t count, int timeoutMs, const Idle& idle = {}) {
        Bytes bytes(count);
        std::size_t got = 0;
        for (ssize_t n = 1; got < count && n > 0 && waitFor(peer_, timeoutMs, idle); got += n)
            n = std::max<ssize_t>(0, ::recv(peer_, bytes.data() + got, count - got, 0));
        bytes.resize(got);
        return bytes;
    }
    // Sends a report request and reads the report.
    Bytes requestReport(int timeoutMs, const Idle& idle = {}) {
        return send({CMD_REPORT}) ? receive(REPORT_BYTES, timeoutMs, idle) : Bytes{};
    }

    Folder folder; // removed with all that a test leaves in it
    std::string dir = folder.path, path = folder / "track";

private:
    // Polls in slices of 5 ms, running idle between them.
    static bool waitFor(int fd, int timeoutMs, const Idle& idle) {
        for (int waited = 0; waited < timeoutMs; waited += 5) {
            pollfd ready{fd, POLLIN, 0};
            if (fd >= 0 && ::poll(&ready, 1, 5) > 0)
                return true;
            if (idle)
                idle();
        }
        return false;
    }

    int listener_ = -1;
    int peer_ = -1;
};

} // namespace quillon::testing
