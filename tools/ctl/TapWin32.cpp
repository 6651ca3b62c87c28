// The tap between named pipes: the simulator connects to the pipe the tap
// serves, the tap connects on to the controller's pipe, and one thread per
// direction reads and passes on; the first to see its side leave cancels
// the other's read.
#include "backends/win32/NamedPipeLink.h"
#include "ctl/Link.h"
#include "ctl/PipeServer.h"
#include "ctl/StreamLog.h"
#include "ctl/Tap.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <windows.h>

namespace quillon::ctl {
namespace {

constexpr DWORD RETRY_MS = 100;
constexpr int CHUNK_BYTES = 65536;

class Tap {
public:
    Tap(std::FILE* logFile, bool json, CommandSet set)
        : logFile_(logFile), log_(logFile, json, set) {}

    // Serves one pair of connections until either side leaves.
    void forward(HANDLE simulator, HANDLE controller) {
        log_.reset();
        ended_ = false;
        std::thread back([&] { carry(controller, simulator, false); });
        carry(simulator, controller, true);
        back.join();
    }

private:
    // Passes on what from says until either side goes, then wakes the
    // other direction's read so that it ends too.
    void carry(HANDLE from, HANDLE to, bool fromSimulator) {
        static thread_local std::uint8_t bytes[CHUNK_BYTES];
        for (;;) {
            const int got = readWithin(from, bytes, CHUNK_BYTES, INFINITE);
            if (got <= 0 || !writeAll(to, bytes, got))
                break;
            logged(bytes, got, fromSimulator);
        }
        {
            std::lock_guard<std::mutex> hold(lock_);
            if (!ended_)
                std::fprintf(stderr, "quillon-ctl: %s left\n",
                             fromSimulator ? "Quillon" : "the controller");
            ended_ = true;
        }
        CancelIoEx(to, nullptr);
    }

    void logged(const std::uint8_t* bytes, int count, bool fromSimulator) {
        std::lock_guard<std::mutex> hold(lock_);
        if (!logging_)
            return;
        const double seconds = secondsSince(start_);
        if (fromSimulator)
            log_.fromSimulator(bytes, count, seconds);
        else
            log_.fromController(bytes, count, seconds);
        // A log nobody reads any more (a full disk) ends the log, never the
        // link.
        if (std::fflush(logFile_) != 0) {
            logging_ = false;
            std::fprintf(stderr,
                         "quillon-ctl: the log cannot be written (%s); forwarding goes on "
                         "without it\n",
                         std::strerror(errno));
        }
    }

    std::FILE* logFile_;
    std::mutex lock_;
    bool logging_ = true;
    bool ended_ = false;
    StreamLog log_;
    Clock::time_point start_ = Clock::now();
};

// The controller's pipe, connected to once the simulator is there;
// INVALID_HANDLE_VALUE when the simulator leaves first.
HANDLE connectOnward(const char* name, HANDLE simulator) {
    for (;;) {
        WaitNamedPipeA(name, RETRY_MS);
        const HANDLE controller = CreateFileA(
            name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
            FILE_FLAG_OVERLAPPED | SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION, nullptr);
        if (controller != INVALID_HANDLE_VALUE)
            return controller;
        // A peek fails once the simulator has gone; bytes it sends
        // meanwhile stay queued for the controller.
        DWORD available = 0;
        if (!PeekNamedPipe(simulator, nullptr, 0, nullptr, &available, nullptr))
            return INVALID_HANDLE_VALUE;
        Sleep(RETRY_MS);
    }
}

} // namespace

int runTap(const TapOptions& options) {
    const std::string listenName = pipeNameOf(options.listenPath);
    const std::string connectName = pipeNameOf(options.connectPath);
    const HANDLE server = servePipe(listenName.c_str());
    if (server == INVALID_HANDLE_VALUE)
        return 1;
    // Opened only once the pipe is ours: a tap that cannot start leaves the
    // file as it was.
    std::FILE* logFile = stdout;
    if (options.logPath != nullptr && (logFile = std::fopen(options.logPath, "w")) == nullptr) {
        std::fprintf(stderr, "quillon-ctl: cannot write %s: %s\n", options.logPath,
                     std::strerror(errno));
        CloseHandle(server);
        return 2;
    }
    Tap tapping(logFile, options.json, options.set);
    for (;;) {
        if (!acceptClient(server)) {
            Sleep(RETRY_MS);
            continue;
        }
        const HANDLE controller = connectOnward(connectName.c_str(), server);
        if (controller != INVALID_HANDLE_VALUE) {
            tapping.forward(server, controller);
            CloseHandle(controller);
        }
        DisconnectNamedPipe(server);
    }
}

} // namespace quillon::ctl
