// Measures the built program from outside, as a user runs it: its CPU use
// while connected with trains standing and with seven trains moving, both
// under a controlling program that asks for a report 4.7 times a second;
// the latency from writing a report request (133) at a random moment to
// reading the report's 10th byte; and its resident memory. CPU time is the
// program's own (all its threads, from /proc), never this tool's.
//
//   quillon_measure PROGRAM [RUNS] [SECONDS]      (defaults 3 and 30)
//
// PROGRAM is started with seven --place options and QUILLON_PIPE pointing at
// this tool's socket; run the tool under a display (xvfb-run -a). Each run
// starts the program afresh; the figures printed last are the medians.
#include "common/ControllerChild.h"
#include "common/ProcStatus.h"
#include "protocol/CommandFraming.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <poll.h>
#include <random>
#include <string>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using quillon::CMD_REPORT;
using quillon::REPORT_BYTES;
using Clock = std::chrono::steady_clock;
using quillon::tools::sleepMs;

constexpr int POLL_PERIOD_MS = 213; // 4.7 Hz
constexpr int LATENCY_REQUESTS = 500;
constexpr int SPEED_STEP = 8;
constexpr int REVERSE = 15;
// The train numbers the menus offer, each on a sensor of layout A.
constexpr std::array<std::pair<int, const char*>, 7> PLACES = {
    {{12, "A1"}, {22, "A5"}, {23, "B1"}, {24, "B5"}, {27, "C9"}, {52, "D5"}, {57, "E13"}}};

// CPU seconds the process has used in all its threads, from the scheduler's
// nanosecond counts; -1 when it cannot be read.
double cpuSeconds(pid_t pid) {
    std::string folder = "/proc/" + std::to_string(pid) + "/task";
    DIR* tasks = ::opendir(folder.c_str());
    if (tasks == nullptr)
        return -1;
    double total = 0;
    while (dirent* entry = ::readdir(tasks)) {
        if (entry->d_name[0] == '.')
            continue;
        std::string path = folder + "/" + entry->d_name + "/schedstat";
        std::FILE* file = std::fopen(path.c_str(), "r");
        if (file == nullptr)
            continue;
        unsigned long long ns = 0;
        if (std::fscanf(file, "%llu", &ns) == 1)
            total += ns / 1e9;
        std::fclose(file);
    }
    ::closedir(tasks);
    return total;
}

struct Figures {
    double idlePercent = -1;
    double movingPercent = -1;
    double latencyMedian = -1;
    double latencyP99 = -1;
    double idlePollMedian = -1;
    long rssKb = -1;
    int sensorReports = 0; // reports with a sensor set while trains moved
};

// The program's process and its accepted connection.
struct Program {
    pid_t pid = -1;
    int peer = -1;
};

Program startProgram(const char* program, const std::string& socketPath, bool place) {
    Program p;
    int listener = quillon::tools::listenAt(socketPath);
    if (listener < 0)
        return p;
    p.pid = ::fork();
    if (p.pid == 0) {
        ::setenv("QUILLON_PIPE", socketPath.c_str(), 1);
        std::vector<std::string> words{program};
        for (const auto& [train, node] : PLACES)
            if (place)
                words.insert(words.end(), {"--place", std::to_string(train) + ":" + node});
        std::vector<char*> argv;
        for (std::string& w : words)
            argv.push_back(w.data());
        argv.push_back(nullptr);
        ::execv(program, argv.data());
        ::_exit(127);
    }
    // Up to ten seconds for the connection, unless the program ends first.
    for (int waited = 0; waited < 10000 && p.peer < 0; waited += 100) {
        pollfd ready{listener, POLLIN, 0};
        if (::poll(&ready, 1, 100) > 0)
            p.peer = ::accept(listener, nullptr, nullptr);
        if (p.peer < 0 && ::waitpid(p.pid, nullptr, WNOHANG) == p.pid) {
            p.pid = -1;
            break;
        }
    }
    ::close(listener);
    return p;
}

void stopProgram(Program& p) {
    if (p.peer >= 0)
        ::close(p.peer);
    if (p.pid > 0) {
        ::kill(p.pid, SIGTERM);
        ::waitpid(p.pid, nullptr, 0);
    }
}

bool send(int fd, std::vector<std::uint8_t> bytes) {
    return quillon::tools::sendAll(fd, bytes);
}

// One report request and its ten bytes; the milliseconds from writing to
// reading the 10th byte, or -1 when it did not come within a second.
double ask(int peer, std::uint8_t* report) {
    auto start = Clock::now();
    if (!send(peer, {CMD_REPORT}) || !quillon::tools::readExactly(peer, report, REPORT_BYTES, 1000))
        return -1;
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Sets every train going at the step; reversed first when asked, which is
// what turns a train round that halted at a dead end or crashed.
void driveAll(int peer, bool reverse) {
    for (const auto& place : PLACES) {
        auto train = static_cast<std::uint8_t>(place.first);
        if (reverse)
            send(peer, {REVERSE, train});
        send(peer, {SPEED_STEP, train});
    }
}

double median(std::vector<double> values) {
    if (values.empty())
        return -1;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double percentile99(std::vector<double> values) {
    if (values.empty())
        return -1;
    std::sort(values.begin(), values.end());
    return values[values.size() * 99 / 100];
}

// Polls at 4.7 Hz for the seconds given, at a random phase within each
// period; when drive is set, turns the trains round every 2.5 s so that
// they keep moving. Returns the percentage of a core the program used.
double pollPhase(const Program& p, int seconds, bool drive, std::mt19937& random,
                 std::vector<double>& latencies, int& sensorReports) {
    std::uniform_int_distribution<int> jitter(0, POLL_PERIOD_MS - 1);
    double cpuStart = cpuSeconds(p.pid);
    auto start = Clock::now();
    auto end = start + std::chrono::seconds(seconds);
    auto nextTurn = start;
    for (auto period = start; period < end; period += std::chrono::milliseconds(POLL_PERIOD_MS)) {
        if (drive && Clock::now() >= nextTurn) {
            driveAll(p.peer, true);
            nextTurn += std::chrono::milliseconds(2500);
        }
        std::this_thread::sleep_until(period + std::chrono::milliseconds(jitter(random)));
        std::uint8_t report[REPORT_BYTES];
        double ms = ask(p.peer, report);
        if (ms < 0) {
            std::fprintf(stderr, "quillon_measure: a report went missing\n");
            continue;
        }
        latencies.push_back(ms);
        sensorReports +=
            std::any_of(report, report + REPORT_BYTES, [](std::uint8_t b) { return b != 0; });
        std::this_thread::sleep_until(period + std::chrono::milliseconds(POLL_PERIOD_MS));
    }
    double wall = std::chrono::duration<double>(Clock::now() - start).count();
    return 100.0 * (cpuSeconds(p.pid) - cpuStart) / wall;
}

Figures measureOnce(const char* program, const std::string& socketPath, int seconds, bool& placed,
                    std::mt19937& random) {
    Figures f;
    Program p = startProgram(program, socketPath, placed);
    if (p.peer < 0 && placed) {
        // A program without --place ends at once; trains cannot be moved then.
        stopProgram(p);
        std::fprintf(stderr, "quillon_measure: the program takes no --place; "
                             "measuring without moving trains\n");
        placed = false;
        p = startProgram(program, socketPath, false);
    }
    if (p.peer < 0) {
        std::fprintf(stderr, "quillon_measure: the program did not connect\n");
        stopProgram(p);
        return f;
    }
    sleepMs(2000); // the window appears and settles
    std::vector<double> idlePolls, moving;
    int ignored = 0;
    f.idlePercent = pollPhase(p, seconds, false, random, idlePolls, ignored);
    f.idlePollMedian = median(idlePolls);
    if (placed) {
        driveAll(p.peer, false);
        sleepMs(1000);
        f.movingPercent = pollPhase(p, seconds, true, random, moving, f.sensorReports);
    }
    // Requests at random moments, 1 to 25 ms after the previous report.
    std::uniform_int_distribution<int> gap(1, 25);
    std::vector<double> latencies;
    for (int i = 0; i < LATENCY_REQUESTS; ++i) {
        std::uint8_t report[REPORT_BYTES];
        double ms = ask(p.peer, report);
        if (ms >= 0)
            latencies.push_back(ms);
        sleepMs(gap(random));
    }
    f.latencyMedian = median(latencies);
    f.latencyP99 = percentile99(latencies);
    f.rssKb = quillon::tools::statusKb("VmRSS:", p.pid);
    stopProgram(p);
    return f;
}

void print(const char* label, const Figures& f) {
    std::printf("%-8s idle %6.3f %%  moving %6.3f %%  latency median %6.3f ms p99 %6.3f ms  "
                "idle-poll median %6.3f ms  RSS %ld KiB  reports with sensors %d\n",
                label, f.idlePercent, f.movingPercent, f.latencyMedian, f.latencyP99,
                f.idlePollMedian, f.rssKb, f.sensorReports);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: quillon_measure PROGRAM [RUNS] [SECONDS]\n");
        return 2;
    }
    const char* program = argv[1];
    int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    int seconds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 30;
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    char pattern[] = "/tmp/quillon-measure-XXXXXX";
    if (::mkdtemp(pattern) == nullptr)
        return 1;
    std::string socketPath = std::string(pattern) + "/track";
    std::mt19937 random(20261207);
    bool placed = true;
    std::vector<Figures> all;
    for (int run = 1; run <= runs; ++run) {
        all.push_back(measureOnce(program, socketPath, seconds, placed, random));
        print(("run " + std::to_string(run)).c_str(), all.back());
    }
    ::unlink(socketPath.c_str());
    ::rmdir(pattern);
    auto med = [&](auto field) {
        std::vector<double> values;
        for (const Figures& f : all)
            values.push_back(static_cast<double>(f.*field));
        return median(values);
    };
    Figures m;
    m.idlePercent = med(&Figures::idlePercent);
    m.movingPercent = med(&Figures::movingPercent);
    m.latencyMedian = med(&Figures::latencyMedian);
    m.latencyP99 = med(&Figures::latencyP99);
    m.idlePollMedian = med(&Figures::idlePollMedian);
    m.rssKb = static_cast<long>(med(&Figures::rssKb));
    m.sensorReports = static_cast<int>(med(&Figures::sensorReports));
    print("median", m);
    return 0;
}
