#include "ctl/Link.h"

#include "backends/posix/ControllerSocket.h"
#include "protocol/CommandFraming.h"
#include "protocol/SensorReport.h"

#include <cerrno>
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
    ::close(fd_);
}

bool Link::send(const std::uint8_t* bytes, int count) {
    return count <= 0 || sendAll(fd_, bytes, static_cast<std::size_t>(count));
}

int Link::receive(std::uint8_t* bytes, int count, int timeoutMs) {
    return receiveWithin(fd_, bytes, count, timeoutMs);
}

bool Link::drain() {
    std::uint8_t unasked[256];
    for (;;) {
        pollfd ready{fd_, POLLIN, 0};
        if (pollFor(&ready, 1, 0) <= 0)
            return true;
        if (::recv(fd_, unasked, sizeof unasked, 0) <= 0)
            return false;
    }
}

bool Link::waitUntil(Clock::time_point deadline, bool watchInput, bool& inputReady) {
    inputReady = false;
    for (;;) {
        pollfd fds[2] = {{fd_, POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}};
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

int Link::report(std::uint8_t (&answer)[REPORT_BYTES], int timeoutMs) {
    const std::uint8_t request = CMD_REPORT;
    if (!drain() || !send(&request, 1))
        return -1;
    return receive(answer, REPORT_BYTES, timeoutMs);
}

int sensorsIn(const std::uint8_t (&answer)[REPORT_BYTES], int (&numbers)[SENSOR_NUMBERS]) {
    SensorReport report;
    std::memcpy(report.bytes, answer, sizeof report.bytes);
    int count = 0;
    for (int n = 0; n < SENSOR_NUMBERS; ++n) {
        if (report.isSensorSet(n))
            numbers[count++] = n;
    }
    return count;
}

} // namespace quillon::ctl
