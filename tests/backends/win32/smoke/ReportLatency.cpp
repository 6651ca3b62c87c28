// Times quillon.exe's answers to report requests over its pipe: 200
// requests, one at a time, each timed from its byte sent until the whole
// answer is in; once with woken reads and once read on the 10 ms timer
// (QUILLON_TIMER_READS=1). Prints both medians; the figures are for people,
// and the exit code says only whether every request got its whole answer.
//   quillon_report_latency QUILLON.EXE
#include "protocol/CommandFraming.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int REQUESTS = 200;
constexpr DWORD RUN_LIMIT_MS = 60000;

DWORD WINAPI watchdog(void*) {
    Sleep(2 * RUN_LIMIT_MS);
    std::printf("FAILED: the runs end within %lu s\n", 2 * RUN_LIMIT_MS / 1000);
    ExitProcess(1);
}

bool readAll(HANDLE pipe, std::uint8_t* bytes, DWORD count) {
    while (count > 0) {
        DWORD got = 0;
        if (!ReadFile(pipe, bytes, count, &got, nullptr) || got == 0)
            return false;
        bytes += got;
        count -= got;
    }
    return true;
}

// Serves a pipe of its own, starts the program on it and times the
// requests: the median in milliseconds, or a negative number when an
// answer did not come whole.
double medianLatencyMs(const std::string& program, bool timerReads) {
    const std::string name = "quillon-latency-" + std::to_string(GetCurrentProcessId());
    const std::string path = "\\\\.\\pipe\\" + name;
    HANDLE pipe = CreateNamedPipeA(path.c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE | PIPE_WAIT, 1,
                                   4096, 4096, 0, nullptr);
    SetEnvironmentVariableA("QUILLON_TIMER_READS", timerReads ? "1" : nullptr);
    std::string commandLine = "\"" + program + "\" --socket " + name;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process)) {
        CloseHandle(pipe);
        return -1;
    }
    double median = -1;
    if (ConnectNamedPipe(pipe, nullptr) || GetLastError() == ERROR_PIPE_CONNECTED) {
        Sleep(500); // the window shown and settled
        LARGE_INTEGER frequency, start, end;
        QueryPerformanceFrequency(&frequency);
        std::vector<double> latencies;
        std::uint8_t answer[quillon::REPORT_BYTES];
        for (int i = 0; i < REQUESTS; ++i) {
            const std::uint8_t request = quillon::CMD_REPORT;
            DWORD written = 0;
            QueryPerformanceCounter(&start);
            if (!WriteFile(pipe, &request, 1, &written, nullptr) ||
                !readAll(pipe, answer, sizeof answer))
                break;
            QueryPerformanceCounter(&end);
            latencies.push_back(1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) /
                                static_cast<double>(frequency.QuadPart));
            Sleep(1 + i % 7); // requests at varied phases of the program's timer
        }
        if (latencies.size() == REQUESTS) {
            std::sort(latencies.begin(), latencies.end());
            median = (latencies[REQUESTS / 2 - 1] + latencies[REQUESTS / 2]) / 2;
        }
    }
    TerminateProcess(process.hProcess, 0);
    WaitForSingleObject(process.hProcess, RUN_LIMIT_MS);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    CloseHandle(pipe);
    return median;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: quillon_report_latency QUILLON.EXE\n");
        return 2;
    }
    // A Unix path from the build is reached through Wine's drive Z:.
    std::string program = argv[1];
    if (program[0] == '/')
        program = "Z:" + program;
    CreateThread(nullptr, 0, watchdog, nullptr, 0, nullptr);
    const double woken = medianLatencyMs(program, false);
    const double timed = medianLatencyMs(program, true);
    std::printf("report latency, median of %d: woken reads %.3f ms, timer reads %.3f ms\n",
                REQUESTS, woken, timed);
    const bool whole = woken >= 0 && timed >= 0;
    std::printf("%s: every request answered in full in both modes\n", whole ? "ok" : "FAILED");
    return whole ? 0 : 1;
}
