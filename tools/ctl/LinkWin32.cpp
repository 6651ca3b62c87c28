// The link over a named pipe that quillon-ctl serves, and the wait for the
// simulator on it.
#include "backends/win32/NamedPipeLink.h"
#include "ctl/Ctl.h"
#include "ctl/Link.h"
#include "ctl/PipeServer.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <windows.h>

namespace quillon::ctl {
namespace {

// How often waitUntil looks at the pipe and at standard input.
constexpr DWORD LOOK_PERIOD_MS = 10;

DWORD msUntil(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left < 0 ? 0 : static_cast<DWORD>(left);
}

// True when a line, or the end, waits on standard input: a pipe with bytes
// or without a writer, a console with Enter pressed, or a file.
bool inputWaits() {
    const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    const DWORD type = GetFileType(input);
    if (type == FILE_TYPE_PIPE) {
        DWORD available = 0;
        return !PeekNamedPipe(input, nullptr, 0, nullptr, &available, nullptr) || available > 0;
    }
    if (type != FILE_TYPE_CHAR)
        return true;
    INPUT_RECORD records[64];
    DWORD count = 0;
    if (!PeekConsoleInputA(input, records, 64, &count))
        return true; // a device that is no console (NUL): it ends at once
    for (DWORD i = 0; i < count; ++i) {
        const KEY_EVENT_RECORD& key = records[i].Event.KeyEvent;
        if (records[i].EventType == KEY_EVENT && key.bKeyDown && key.uChar.AsciiChar == '\r')
            return true;
    }
    return false;
}

} // namespace

Link::~Link() {
    CloseHandle(connection_);
}

bool Link::send(const std::uint8_t* bytes, int count) {
    return writeAll(connection_, bytes, count);
}

int Link::receive(std::uint8_t* bytes, int count, int timeoutMs) {
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    int got = 0;
    while (got < count) {
        const int more = readWithin(connection_, bytes + got, count - got, msUntil(deadline));
        if (more < 0)
            return -1;
        if (more == 0 && Clock::now() >= deadline)
            return got;
        got += more;
    }
    return got;
}

bool Link::drain() {
    std::uint8_t unasked[256];
    for (;;) {
        DWORD available = 0;
        if (!PeekNamedPipe(connection_, nullptr, 0, nullptr, &available, nullptr))
            return false;
        if (available == 0)
            return true;
        const int count = static_cast<int>(std::min<DWORD>(available, sizeof unasked));
        if (readWithin(connection_, unasked, count, 0) < 0)
            return false;
    }
}

bool Link::waitUntil(Clock::time_point deadline, bool watchInput, bool& inputReady) {
    inputReady = false;
    for (;;) {
        if (watchInput && inputWaits()) {
            inputReady = true;
            return true;
        }
        if (!drain())
            return false;
        const DWORD left = msUntil(deadline);
        if (left == 0)
            return true;
        Sleep(std::min(left, LOOK_PERIOD_MS));
    }
}

std::string socketPathOr(const char* given) {
    return pipeNameOf(given != nullptr ? given : "");
}

bool socketPathUsable(const char* path, std::string& problem) {
    // Room for the "\\.\pipe\" that a bare name gains.
    const std::size_t longest = NamedPipeLink::NAME_CAPACITY - 9;
    if (path[0] == '\0') {
        problem = "--socket needs a pipe name";
        return false;
    }
    if (std::strlen(path) <= longest)
        return true;
    problem = "--socket pipe name is too long: at most " + std::to_string(longest) + " characters";
    return false;
}

std::unique_ptr<Link> awaitSimulator(const char* path) {
    const HANDLE pipe = servePipe(path);
    if (pipe == INVALID_HANDLE_VALUE)
        return nullptr;
    std::fprintf(stderr, "quillon-ctl: waiting for Quillon at %s\n", path);
    if (!acceptClient(pipe)) {
        CloseHandle(pipe);
        std::fprintf(stderr, "quillon-ctl: no connection at %s\n", path);
        return nullptr;
    }
    std::fprintf(stderr, "quillon-ctl: Quillon connected\n");
    return std::make_unique<Link>(pipe);
}

} // namespace quillon::ctl
