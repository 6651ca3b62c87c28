// The tap between Unix domain sockets: one poll over both sides, each read
// only while the other has taken all it said.
#include "backends/posix/ControllerSocket.h"
#include "ctl/Link.h"
#include "ctl/StreamLog.h"
#include "ctl/Tap.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace quillon::ctl {
namespace {

constexpr int RETRY_MS = 100;
constexpr int FLUSH_MS = 1000;

// Bytes read from one side and not yet written to the other.
struct Pending {
    std::vector<std::uint8_t> bytes;
    std::size_t sent = 0;
    bool empty() const { return sent == bytes.size(); }
};

// Writes what the other side will take now; false when it has gone.
bool pushOn(int to, Pending& pending) {
    while (!pending.empty()) {
        const ssize_t n = ::send(to, pending.bytes.data() + pending.sent,
                                 pending.bytes.size() - pending.sent, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return true;
        if (n <= 0)
            return false;
        pending.sent += static_cast<std::size_t>(n);
    }
    pending.bytes.clear();
    pending.sent = 0;
    return true;
}

// Gives the other side up to FLUSH_MS to take what its peer said last.
void flush(int to, Pending& pending) {
    const Clock::time_point end = Clock::now() + std::chrono::milliseconds(FLUSH_MS);
    while (!pending.empty() && Clock::now() < end) {
        pollfd ready{to, POLLOUT, 0};
        if (::poll(&ready, 1, 50) < 0 && errno != EINTR)
            return;
        if (!pushOn(to, pending))
            return;
    }
}

class Tap {
public:
    Tap(std::FILE* logFile, bool json, CommandSet set)
        : logFile_(logFile), log_(logFile, json, set) {}

    // Serves one pair of connections until either side leaves.
    void forward(int simulator, int controller) {
        log_.reset();
        Pending toController, toSimulator;
        for (;;) {
            // A side is read only while the other has taken all it said.
            const short fromSimulator = toController.empty() ? POLLIN : 0;
            const short fromController = toSimulator.empty() ? POLLIN : 0;
            pollfd fds[2] = {
                {simulator, static_cast<short>(fromSimulator | (toSimulator.empty() ? 0 : POLLOUT)),
                 0},
                {controller,
                 static_cast<short>(fromController | (toController.empty() ? 0 : POLLOUT)), 0}};
            if (::poll(fds, 2, -1) < 0) {
                if (errno == EINTR)
                    continue;
                return;
            }
            if (!carry(fds[0], controller, toController, true)) {
                flush(controller, toController);
                std::fprintf(stderr, "quillon-ctl: Quillon left\n");
                return;
            }
            if (!carry(fds[1], simulator, toSimulator, false)) {
                flush(simulator, toSimulator);
                std::fprintf(stderr, "quillon-ctl: the controller left\n");
                return;
            }
            if (!pushOn(controller, toController) || !pushOn(simulator, toSimulator))
                return;
        }
    }

private:
    // Reads what the side at from offers into pending, passes it on and logs
    // it; false when that side has gone.
    bool carry(const pollfd& from, int to, Pending& pending, bool fromSimulator) {
        if ((from.revents & (POLLIN | POLLHUP | POLLERR)) == 0)
            return true;
        std::uint8_t bytes[65536];
        const ssize_t n = ::recv(from.fd, bytes, sizeof bytes, MSG_DONTWAIT);
        if (n < 0)
            return errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK;
        if (n == 0)
            return false;
        pending.bytes.insert(pending.bytes.end(), bytes, bytes + n);
        pushOn(to, pending);
        if (!logging_)
            return true;
        const double seconds = secondsSince(start_);
        if (fromSimulator)
            log_.fromSimulator(bytes, static_cast<int>(n), seconds);
        else
            log_.fromController(bytes, static_cast<int>(n), seconds);
        // A log nobody reads any more (a closed pipe, a full disk) ends the
        // log, never the link.
        if (std::fflush(logFile_) != 0) {
            logging_ = false;
            std::fprintf(stderr,
                         "quillon-ctl: the log cannot be written (%s); forwarding goes on "
                         "without it\n",
                         std::strerror(errno));
        }
        return true;
    }

    std::FILE* logFile_;
    bool logging_ = true;
    StreamLog log_;
    Clock::time_point start_ = Clock::now();
};

// The controller, connected to once the simulator is there; -1 when the
// simulator leaves first.
int connectOnward(const char* path, int simulator) {
    for (;;) {
        const int controller = connectToSocket(path);
        if (controller >= 0)
            return controller;
        // Only Quillon's leaving is waited for: bytes it sends meanwhile
        // stay queued for the controller and never wake the wait.
        pollfd gone{simulator, POLLRDHUP, 0};
        const int polled = ::poll(&gone, 1, RETRY_MS);
        if (polled > 0 || (polled < 0 && errno != EINTR))
            return -1;
    }
}

} // namespace

int runTap(const TapOptions& options) {
    const char* listenPath = options.listenPath;
    const char* connectPath = options.connectPath;
    const char* logPath = options.logPath;
    // A log reader that goes away fails a write instead of ending the tap.
    std::signal(SIGPIPE, SIG_IGN);
    char error[SOCKET_ERROR_CAPACITY];
    const int listener = listenForSimulator(listenPath, error);
    if (listener < 0) {
        std::fprintf(stderr, "quillon-ctl: %s\n", error);
        return 1;
    }
    // Opened only once the socket is ours: a tap that cannot start leaves
    // the file as it was.
    std::FILE* logFile = stdout;
    if (logPath != nullptr && (logFile = std::fopen(logPath, "w")) == nullptr) {
        std::fprintf(stderr, "quillon-ctl: cannot write %s: %s\n", logPath, std::strerror(errno));
        ::close(listener);
        ::unlink(listenPath);
        return 2;
    }
    Tap tapping(logFile, options.json, options.set);
    for (;;) {
        const int simulator = acceptConnection(listener, -1);
        if (simulator < 0)
            continue;
        const int controller = connectOnward(connectPath, simulator);
        if (controller >= 0) {
            tapping.forward(simulator, controller);
            ::close(controller);
        }
        ::close(simulator);
    }
}

} // namespace quillon::ctl
