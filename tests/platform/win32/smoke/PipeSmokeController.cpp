// A stand-in for the controlling program, for the end-to-end test of the
// Windows program: it creates \\.\pipe\track, starts quillon.exe (or waits
// for one to come), sends a report request and switch commands, reads the
// 10-byte reports, closes the pipe, sees the program hide and reconnect,
// and ends it with its Close command.
//
//   quillon_pipe_smoke [--start PATH] [--pause DIR] [--log FILE]
//
// --pause DIR: once the window shows layout A, create DIR\ready and wait up
// to 30 s for DIR\continue (a screenshot is taken meanwhile).
// --log FILE: write the outcome of each step there as well as to stdout.
// Exit code 0 when every step passed.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

namespace {

constexpr const char* PIPE_NAME = "\\\\.\\pipe\\track";
constexpr DWORD STEP_TIMEOUT_MS = 10000;
constexpr int CMD_CLOSE = 1002;

int failures = 0;
FILE* logFile = nullptr;

void say(const char* line) {
    std::printf("%s\n", line);
    std::fflush(stdout);
    if (logFile == nullptr)
        return;
    std::fprintf(logFile, "%s\n", line);
    std::fflush(logFile);
}

const DWORD startTime = GetTickCount();

void check(bool ok, const char* what) {
    char line[256];
    std::snprintf(line, sizeof line, "%6.2f s  %s: %s", (GetTickCount() - startTime) / 1000.0,
                  ok ? "ok" : "FAILED", what);
    say(line);
    if (!ok)
        ++failures;
}

// One instance of the pipe, overlapped, so that every wait has a time-out.
class PipeServer {
  public:
    PipeServer() {
        event_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        handle_ = CreateNamedPipeA(PIPE_NAME, PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED,
                                   PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT, 1, 4096, 4096,
                                   0, nullptr);
    }
    ~PipeServer() {
        close();
        CloseHandle(event_);
    }
    bool created() const { return handle_ != INVALID_HANDLE_VALUE; }

    bool waitForClient(DWORD timeoutMs) {
        OVERLAPPED overlapped = start();
        if (ConnectNamedPipe(handle_, &overlapped))
            return true;
        if (GetLastError() == ERROR_PIPE_CONNECTED)
            return true;
        return finish(overlapped, timeoutMs) >= 0;
    }
    bool send(const unsigned char* bytes, DWORD count) {
        OVERLAPPED overlapped = start();
        DWORD written = 0;
        if (WriteFile(handle_, bytes, count, &written, &overlapped))
            return written == count;
        return finish(overlapped, STEP_TIMEOUT_MS) == static_cast<int>(count);
    }
    // Reads exactly count bytes, or fails after the time-out.
    bool receive(unsigned char* bytes, DWORD count, DWORD timeoutMs) {
        DWORD got = 0;
        const DWORD start = GetTickCount();
        while (got < count) {
            OVERLAPPED overlapped = this->start();
            DWORD n = 0;
            int result = ReadFile(handle_, bytes + got, count - got, &n, &overlapped)
                             ? static_cast<int>(n)
                             : finish(overlapped, timeoutMs);
            if (result <= 0 || GetTickCount() - start > timeoutMs)
                return false;
            got += static_cast<DWORD>(result);
        }
        return true;
    }
    DWORD waiting() {
        DWORD available = 0;
        PeekNamedPipe(handle_, nullptr, 0, nullptr, &available, nullptr);
        return available;
    }
    void close() {
        if (handle_ == INVALID_HANDLE_VALUE)
            return;
        DisconnectNamedPipe(handle_);
        CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
    }

  private:
    OVERLAPPED start() {
        ResetEvent(event_);
        OVERLAPPED overlapped{};
        overlapped.hEvent = event_;
        return overlapped;
    }
    // The byte count of the pending operation, or -1 on failure or time-out.
    int finish(OVERLAPPED& overlapped, DWORD timeoutMs) {
        if (GetLastError() != ERROR_IO_PENDING)
            return -1;
        if (WaitForSingleObject(event_, timeoutMs) != WAIT_OBJECT_0) {
            CancelIo(handle_);
            DWORD ignored = 0;
            GetOverlappedResult(handle_, &overlapped, &ignored, TRUE);
            return -1;
        }
        DWORD n = 0;
        if (!GetOverlappedResult(handle_, &overlapped, &n, FALSE))
            return -1;
        return static_cast<int>(n);
    }

    HANDLE handle_ = INVALID_HANDLE_VALUE;
    HANDLE event_ = nullptr;
};

HWND findWindow() {
    return FindWindowA("quillon", nullptr);
}

// Waits until the program's window exists and is visible (or not).
bool waitForVisible(bool visible, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    do {
        HWND window = findWindow();
        if (window != nullptr && (IsWindowVisible(window) != FALSE) == visible)
            return true;
        Sleep(50);
    } while (GetTickCount() - start < timeoutMs);
    return false;
}

bool fileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Accepts a Unix path (as the build passes it) by Wine's drive Z:.
std::string windowsPath(const char* path) {
    std::string converted = path;
    if (!converted.empty() && converted[0] == '/')
        converted = "Z:" + converted;
    for (char& c : converted)
        if (c == '/')
            c = '\\';
    return converted;
}

bool reportRoundTrip(PipeServer& server, const char* what) {
    const unsigned char request = 133;
    unsigned char report[10];
    bool ok = server.send(&request, 1) && server.receive(report, 10, STEP_TIMEOUT_MS);
    check(ok, what);
    if (!ok)
        return false;
    bool clear = true;
    for (unsigned char byte : report)
        clear = clear && byte == 0;
    check(clear, "a layout without trains reports no sensor");
    Sleep(100);
    check(server.waiting() == 0, "exactly 10 bytes answer one request");
    return true;
}

void pauseForScreenshot(const std::string& dir) {
    CloseHandle(CreateFileA((dir + "\\ready").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                            nullptr));
    const DWORD start = GetTickCount();
    while (!fileExists(dir + "\\continue") && GetTickCount() - start < 30000)
        Sleep(50);
}

} // namespace

int main(int argc, char** argv) {
    std::string program, pauseDir;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--start") == 0)
            program = windowsPath(argv[i + 1]);
        else if (std::strcmp(argv[i], "--pause") == 0)
            pauseDir = windowsPath(argv[i + 1]);
        else if (std::strcmp(argv[i], "--log") == 0)
            logFile = std::fopen(windowsPath(argv[i + 1]).c_str(), "w");
    }

    auto server = std::make_unique<PipeServer>();
    check(server->created(), "the pipe is created");
    if (!server->created())
        return 1;

    PROCESS_INFORMATION process{};
    if (!program.empty()) {
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        std::string commandLine = "\"" + program + "\"";
        bool started = CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                                      0, nullptr, nullptr, &startup, &process) != FALSE;
        check(started, "quillon.exe is started");
        if (!started)
            return 1;
    }

    check(server->waitForClient(3 * STEP_TIMEOUT_MS), "the program connects to the pipe");
    check(waitForVisible(true, STEP_TIMEOUT_MS), "the window is shown on the connection");
    HWND window = findWindow();
    char title[128] = {};
    GetWindowTextA(window, title, sizeof title);
    check(std::strcmp(title, "Quillon [Track Model A]") == 0, "the title names layout A");
    RECT client{};
    GetClientRect(window, &client);
    check(client.right == 512 && client.bottom == 320, "the client area is 512 x 320");

    reportRoundTrip(*server, "a report request is answered with 10 bytes");
    // Switch 1 curved, switch 0x99 straight, then switch 1 straight again,
    // and solenoid off: commands that answer nothing.
    const unsigned char switches[] = {34, 1, 33, 0x99, 33, 1, 32};
    check(server->send(switches, sizeof switches), "switch commands are sent");
    reportRoundTrip(*server, "a report request after switch commands is answered");

    if (!pauseDir.empty())
        pauseForScreenshot(pauseDir);

    server.reset();
    check(waitForVisible(false, STEP_TIMEOUT_MS), "the window hides when the pipe is gone");

    server = std::make_unique<PipeServer>();
    check(server->waitForClient(STEP_TIMEOUT_MS), "the program reconnects to a new pipe");
    check(waitForVisible(true, STEP_TIMEOUT_MS), "the window is shown again");
    reportRoundTrip(*server, "a report request on the new connection is answered");

    window = findWindow();
    PostMessageA(window, WM_COMMAND, CMD_CLOSE, 0);
    if (process.hProcess != nullptr) {
        bool ended = WaitForSingleObject(process.hProcess, STEP_TIMEOUT_MS) == WAIT_OBJECT_0;
        DWORD exitCode = 1;
        GetExitCodeProcess(process.hProcess, &exitCode);
        check(ended && exitCode == 0, "the Close command ends the program with exit code 0");
        if (!ended)
            TerminateProcess(process.hProcess, 1);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }

    say(failures == 0 ? "PIPE SMOKE TEST PASSED" : "PIPE SMOKE TEST FAILED");
    if (logFile != nullptr)
        std::fclose(logFile);
    return failures == 0 ? 0 : 1;
}
