// The controlling program, played by a test: a Unix socket that listens in a
// fresh directory, accepts the simulator and exchanges bytes with it. Every
// wait is bounded.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

namespace quillon::testing {

class TestController {
  public:
    TestController() {
        char pattern[] = "/tmp/quillon-test-XXXXXX";
        const char* made = ::mkdtemp(pattern);
        dir_ = made != nullptr ? made : "/tmp";
        path_ = dir_ + "/track";
    }
    ~TestController() {
        hangUp();
        stopListening();
        ::rmdir(dir_.c_str());
    }
    TestController(const TestController&) = delete;
    TestController& operator=(const TestController&) = delete;

    const std::string& path() const { return path_; }

    bool listen() {
        listener_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path_.c_str(), sizeof address.sun_path - 1);
        return listener_ >= 0 &&
               ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
               ::listen(listener_, 4) == 0;
    }

    // Closes the listening socket and removes its file.
    void stopListening() {
        if (listener_ >= 0)
            ::close(listener_);
        listener_ = -1;
        ::unlink(path_.c_str());
    }

    // Waits up to timeoutMs for the simulator to connect, running idle (for
    // example the Qt event loop) while it waits.
    bool accept(int timeoutMs, const std::function<void()>& idle = {}) {
        if (!waitFor(listener_, timeoutMs, idle))
            return false;
        peer_ = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        return peer_ >= 0;
    }

    bool connected() const { return peer_ >= 0; }

    bool send(const std::vector<std::uint8_t>& bytes) {
        return peer_ >= 0 && ::send(peer_, bytes.data(), bytes.size(), MSG_NOSIGNAL) ==
                                 static_cast<ssize_t>(bytes.size());
    }

    // Reads exactly count bytes, or fewer when timeoutMs passes or the
    // simulator hangs up.
    std::vector<std::uint8_t> receive(std::size_t count, int timeoutMs,
                                      const std::function<void()>& idle = {}) {
        std::vector<std::uint8_t> bytes;
        auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (bytes.size() < count && peer_ >= 0) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0 || !waitFor(peer_, static_cast<int>(left.count()), idle))
                break;
            std::uint8_t buffer[64];
            ssize_t n = ::recv(peer_, buffer, std::min(sizeof buffer, count - bytes.size()), 0);
            if (n <= 0)
                break;
            bytes.insert(bytes.end(), buffer, buffer + n);
        }
        return bytes;
    }

    // Sends 133 and reads the 10-byte report; empty on failure.
    std::vector<std::uint8_t> requestReport(int timeoutMs, const std::function<void()>& idle = {}) {
        if (!send({133}))
            return {};
        std::vector<std::uint8_t> report = receive(10, timeoutMs, idle);
        return report.size() == 10 ? report : std::vector<std::uint8_t>{};
    }

    void hangUp() {
        if (peer_ >= 0)
            ::close(peer_);
        peer_ = -1;
    }

    // The sensor numbers whose bits a report carries, in increasing order.
    static std::vector<int> sensors(const std::vector<std::uint8_t>& report) {
        std::vector<int> numbers;
        for (int n = 0; n < static_cast<int>(report.size()) * 8; ++n)
            if (report[n / 8] & (0x80 >> (n % 8)))
                numbers.push_back(n);
        return numbers;
    }

  private:
    // Polls in slices of 5 ms so that idle can run the event loop between.
    static bool waitFor(int fd, int timeoutMs, const std::function<void()>& idle) {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (fd >= 0) {
            pollfd ready{fd, POLLIN, 0};
            if (::poll(&ready, 1, idle ? 5 : timeoutMs) > 0)
                return true;
            if (std::chrono::steady_clock::now() >= deadline)
                return false;
            if (idle)
                idle();
        }
        return false;
    }

    std::string dir_, path_;
    int listener_ = -1;
    int peer_ = -1;
};

} // namespace quillon::testing
