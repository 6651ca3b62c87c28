// A stand-in for the controlling program, for the end-to-end test of the
// Windows program: it starts quillon.exe, creates \\.\pipe\track, asks for
// a sensor report after switch commands, closes the pipe, sees the program
// hide and reconnect, asks for reports without reading them until the
// program lets go (its window answering messages all the while), sees it
// reconnect once more, and ends it with its Close command. Exit code 0 when
// every step passed.
//
//   quillon_pipe_smoke QUILLON.EXE [DIR]
//
// DIR: once the window shows layout A, create DIR\ready and wait for
// DIR\continue (a screenshot is taken meanwhile).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

constexpr DWORD STEP_MS = 10000;
constexpr WPARAM CMD_CLOSE = 1002;
int failures = 0;
PROCESS_INFORMATION program{};

void check(bool ok, const char* what) {
    std::printf("%s: %s\n", ok ? "ok" : "FAILED", what);
    failures += ok ? 0 : 1;
}

int end() {
    TerminateProcess(program.hProcess, 1); // when the Close command did not end it
    std::printf("PIPE SMOKE TEST %s\n", failures == 0 ? "PASSED" : "FAILED");
    return failures == 0 ? 0 : 1;
}

// Reads and writes below block; this bounds the whole run.
DWORD WINAPI watchdog(void*) {
    Sleep(6 * STEP_MS);
    check(false, "the test ends within 60 s");
    ExitProcess(end());
}

// The one instance of the pipe, with room for `buffer` bytes each way.
HANDLE servePipe(DWORD buffer = 4096) {
    HANDLE pipe = CreateNamedPipeA("\\\\.\\pipe\\track", PIPE_ACCESS_DUPLEX,
                                   PIPE_TYPE_BYTE | PIPE_WAIT, 1, buffer, buffer, 0, nullptr);
    check(ConnectNamedPipe(pipe, nullptr) || GetLastError() == ERROR_PIPE_CONNECTED,
          "the program connects to the pipe");
    return pipe;
}

bool waitForVisible(bool visible) {
    for (DWORD start = GetTickCount(); GetTickCount() - start < STEP_MS; Sleep(50)) {
        HWND window = FindWindowA("quillon", nullptr);
        if (window != nullptr && (IsWindowVisible(window) != FALSE) == visible)
            return true;
    }
    return false;
}

void askForReport(HANDLE pipe) {
    const unsigned char request = 133;
    unsigned char report[10] = {1};
    DWORD got = 0, n = 0;
    bool ok = WriteFile(pipe, &request, 1, &n, nullptr);
    while (ok && got < 10 && ReadFile(pipe, report + got, 10 - got, &n, nullptr))
        got += n;
    check(got == 10, "a report request is answered with 10 bytes");
    Sleep(100);
    PeekNamedPipe(pipe, nullptr, 0, nullptr, &n, nullptr);
    check(n == 0 && std::count(report, report + 10, 0) == 10,
          "the 10 bytes are all of it, and clear on a layout without trains");
}

// Asks for reports and reads none: once the pipe is full the program must
// give this controller up, and its window must answer all the while.
void neverRead(HANDLE pipe) {
    HWND window = FindWindowA("quillon", nullptr);
    const unsigned char request = 133;
    bool answered = true, lettingGo = false;
    for (DWORD start = GetTickCount(); answered && !lettingGo && GetTickCount() - start < STEP_MS;
         Sleep(10)) {
        DWORD n = 0;
        lettingGo = !WriteFile(pipe, &request, 1, &n, nullptr);
        answered = SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 1000, nullptr) != 0;
    }
    check(answered, "the window answers messages while the controller reads nothing");
    check(lettingGo, "the program lets go of a controller that reads nothing");
}

} // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IONBF, 0); // each step's line as it happens
    CreateThread(nullptr, 0, watchdog, nullptr, 0, nullptr);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (argc < 2 || !CreateProcessA(argv[1], nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                    &startup, &program)) {
        check(false, "quillon.exe is started");
        return end();
    }
    HANDLE pipe = servePipe();
    check(waitForVisible(true), "the window is shown on the connection");
    RECT client{};
    GetClientRect(FindWindowA("quillon", nullptr), &client);
    check(client.right == 512 && client.bottom == 320, "the client area is 512 x 320");

    // Switch 1 curved, switch 0x99 straight, switch 1 straight, solenoid off:
    // commands that answer nothing.
    const unsigned char switches[] = {34, 1, 33, 0x99, 33, 1, 32};
    DWORD n = 0;
    check(WriteFile(pipe, switches, sizeof switches, &n, nullptr), "switch commands are sent");
    askForReport(pipe);
    if (argc > 2) {
        const std::string dir = argv[2];
        CloseHandle(CreateFileA((dir + "\\ready").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                0, nullptr));
        while (GetFileAttributesA((dir + "\\continue").c_str()) == INVALID_FILE_ATTRIBUTES)
            Sleep(50);
    }

    CloseHandle(pipe);
    check(waitForVisible(false), "the window hides when the pipe is gone");
    pipe = servePipe(64);
    check(waitForVisible(true), "the window is shown again");
    askForReport(pipe);
    neverRead(pipe);
    CloseHandle(pipe);
    pipe = servePipe();
    check(waitForVisible(true), "the window is shown after a controller that read nothing");
    askForReport(pipe);

    PostMessageA(FindWindowA("quillon", nullptr), WM_COMMAND, CMD_CLOSE, 0);
    DWORD exitCode = 1;
    check(WaitForSingleObject(program.hProcess, STEP_MS) == WAIT_OBJECT_0 &&
              GetExitCodeProcess(program.hProcess, &exitCode) && exitCode == 0,
          "the Close command ends the program with exit code 0");
    return end();
}
