// Measures the running program: its CPU use while disconnected and idle,
// while connected with trains standing, and while connected with 10 trains
// running; its resident memory; and the latency from writing a report
// request (133) to reading the 10th byte of the report.
//
// The program runs in this process exactly as main() builds it, on the
// platform Qt picks (run it under Xvfb with a tray program for the numbers
// of a desktop). The user can place only seven train numbers from the menu,
// so the ten trains are placed here directly on ten sensor nodes, and a
// train that halts or crashes is turned round here (a controlling program
// cannot see that). The
// controlling program is a child process, so its own CPU time is not
// counted; it tells this process through a pipe when each phase begins and
// ends.
//
//   quillon_measure_inprocess [RUN_SECONDS]     (default 100)
//
// quillon_measure gives the figures of the built program from outside.
#include "app/SimulatorApp.h"
#include "backends/qt/QtHost.h"
#include "common/ControllerChild.h"
#include "common/KeepTrainsRunning.h"
#include "protocol/CommandFraming.h"
#include "sim/World.h"

#include <QApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <string>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using quillon::CMD_REPORT;
using quillon::REPORT_BYTES;
using quillon::tools::movingTrains;
using quillon::tools::statusKb;
using Clock = std::chrono::steady_clock;
constexpr int TRAINS = 10;
constexpr int IDLE_SECONDS = 20;
constexpr int REQUESTS = 1000;

using quillon::tools::sleepMs;

// Sends the bytes; says so on standard error when they did not all go.
void sendBytes(int fd, const std::vector<std::uint8_t>& bytes) {
    if (!quillon::tools::sendAll(fd, bytes))
        std::perror("send");
}

bool readExactly(int fd, std::uint8_t* bytes, std::size_t count) {
    return quillon::tools::readExactly(fd, bytes, count, 2000);
}

// The speed step the controlling program gives train number t.
int speedStepOf(int t) {
    return 6 + t % 6;
}

// Sets the ten trains' speed steps (6 to 11) once, then asks for a report
// every 100 ms as a controlling program would.
void driveTrains(int peer, int seconds) {
    auto end = Clock::now() + std::chrono::seconds(seconds);
    int tick = 0;
    while (Clock::now() < end) {
        if (tick == 0)
            for (int t = 1; t <= TRAINS; ++t)
                sendBytes(peer, {static_cast<std::uint8_t>(speedStepOf(t)),
                                 static_cast<std::uint8_t>(t)});
        std::uint8_t report[REPORT_BYTES];
        sendBytes(peer, {CMD_REPORT});
        if (!readExactly(peer, report, REPORT_BYTES))
            std::fprintf(stderr, "controller: a report went missing\n");
        sleepMs(100);
        ++tick;
    }
}

// The controlling program. Writes one phase byte to phases at each boundary.
int controller(const std::string& path, int phases, int runSeconds) {
    auto mark = [phases](char phase) {
        if (::write(phases, &phase, 1) != 1)
            std::perror("phase");
    };
    sleepMs(3000); // the program starts and settles
    mark('a');     // disconnected and idle
    sleepMs(IDLE_SECONDS * 1000);
    mark('b');

    int listener = quillon::tools::listenAt(path);
    if (listener < 0)
        return 1;
    int peer = ::accept(listener, nullptr, nullptr);
    sleepMs(2000);
    mark('c'); // connected, trains standing, no traffic
    sleepMs(IDLE_SECONDS * 1000);
    mark('d');

    driveTrains(peer, 3);
    mark('e'); // connected, trains running
    driveTrains(peer, runSeconds);
    mark('f');

    std::vector<double> latencies;
    for (int i = 0; i < REQUESTS; ++i) {
        std::uint8_t report[REPORT_BYTES];
        auto start = Clock::now();
        sendBytes(peer, {CMD_REPORT});
        if (!readExactly(peer, report, REPORT_BYTES))
            return 2;
        latencies.push_back(
            std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        sleepMs(static_cast<int>(i * 7919 % 13)); // requests at varying phases of the poll
    }
    std::sort(latencies.begin(), latencies.end());
    std::printf("latency 133 -> 10th byte over %d requests: median %.2f ms, max %.2f ms, "
                "min %.2f ms, 99th percentile %.2f ms\n",
                REQUESTS, latencies[REQUESTS / 2], latencies.back(), latencies.front(),
                latencies[REQUESTS * 99 / 100]);
    std::fflush(stdout);
    mark('q');
    ::close(peer);
    ::close(listener);
    ::unlink(path.c_str());
    return 0;
}

struct Sample {
    char phase;
    double cpuSeconds;
    double wallSeconds;
    long rssKb;
    long peakKb;
    int running;
};

Sample sample(char phase, const quillon::World& world) {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    double cpu = usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
                 (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    double wall = std::chrono::duration<double>(Clock::now().time_since_epoch()).count();
    return {phase, cpu, wall, statusKb("VmRSS:"), statusKb("VmHWM:"), movingTrains(world)};
}

void report(const std::vector<Sample>& samples) {
    auto find = [&](char phase) {
        for (const Sample& s : samples)
            if (s.phase == phase)
                return s;
        return Sample{};
    };
    auto cpu = [&](char from, char to, const char* what) {
        Sample a = find(from), b = find(to);
        if (a.phase == 0 || b.phase == 0)
            return;
        std::printf("%-44s %6.2f %% of one core over %.0f s\n", what,
                    100.0 * (b.cpuSeconds - a.cpuSeconds) / (b.wallSeconds - a.wallSeconds),
                    b.wallSeconds - a.wallSeconds);
    };
    cpu('a', 'b', "CPU, no controller (idle):");
    cpu('c', 'd', "CPU, connected, trains standing (idle):");
    cpu('e', 'f', "CPU, connected, 10 trains running:");
    Sample end = find('f');
    std::printf("resident memory at the end of the run: %ld KiB (peak %ld KiB)\n", end.rssKb,
                end.peakKb);
    std::printf("trains moving when the run ended: %d of %d\n", end.running, TRAINS);
}

} // namespace

int main(int argc, char** argv) {
    int runSeconds = argc > 1 ? std::atoi(argv[1]) : 100;
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    quillon::tools::ControllerChild child;
    auto run = [runSeconds](const std::string& path, int phases) {
        return controller(path, phases, runSeconds);
    };
    if (!quillon::tools::startControllerChild("quillon-measure", run, child))
        return 1;
    const int phases = child.fromChild;

    QApplication qtApplication(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    quillon::QtHost host;
    std::vector<Sample> samples;
    samples.reserve(16);
    {
        quillon::SimulatorApp app(host);
        quillon::World& world = app.world();
        const quillon::Track& layout = quillon::activeTrack(world.layouts);
        int placed = 0;
        for (int i = 0; i < layout.nodeCount() && placed < TRAINS; i += 3)
            if (layout.nodes[static_cast<std::size_t>(i)].type == quillon::NODE_SENSOR)
                quillon::placeTrain(world, ++placed, quillon::activeNode(world.layouts, i));
        std::printf("platform %s, tray icon %s, %d trains placed\n",
                    qPrintable(QGuiApplication::platformName()), host.hasTrayIcon() ? "yes" : "no",
                    placed);

        QSocketNotifier notifier(phases, QSocketNotifier::Read);
        // Every 200 ms while trains run: a train that halted at a dead end or
        // crashed is turned round and sent off again at its speed step; one
        // that is still stuck the next time is put on a sensor node that no
        // train is near. So all ten keep running. How many move is counted.
        bool running = false;
        long movingSum = 0, movingSamples = 0;
        quillon::tools::TrainKeeper<TRAINS> keeper(speedStepOf);
        QTimer census;
        QObject::connect(&census, &QTimer::timeout, [&] {
            if (!running)
                return;
            movingSum += movingTrains(world);
            ++movingSamples;
            keeper.look(world);
        });
        census.start(200);
        QObject::connect(&notifier, &QSocketNotifier::activated, [&] {
            char phase = 0;
            if (::read(phases, &phase, 1) != 1 || phase == 'q') {
                QCoreApplication::exit(0);
                return;
            }
            running = phase == 'e' ? true : phase == 'f' ? false : running;
            samples.push_back(sample(phase, world));
        });
        QApplication::exec();
        if (movingSamples > 0)
            std::printf("trains moving during the run: %.1f of %d on average\n",
                        double(movingSum) / movingSamples, TRAINS);
    }
    int status = 0;
    ::waitpid(child.pid, &status, 0);
    report(samples);
    ::rmdir(child.folder.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}
