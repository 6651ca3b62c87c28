// A long run of the program under a restless controller, to show that
// nothing grows and nothing is lost: seven trains keep moving while a
// controlling program polls like real control software (about 4.7 reports
// a second), mixes random command bytes in, and leaves and comes back every
// ten seconds. Every sample line gives the elapsed time, the resident
// memory, the open descriptors, the trains moving, the controller's
// sessions, and the reports asked for, answered whole and missing.
//
// The program runs in this process exactly as main() builds it (run it
// under Xvfb, or with QT_QPA_PLATFORM=offscreen). Trains are placed here
// directly, since the menus place them by hand; a train that halted or
// crashed is turned round and sent off again, as a user would. The
// controller is a child process; it reports its counts through a pipe.
//
//   quillon_soak [MINUTES [SAMPLE_SECONDS]]     (default 30 and 60)
#include "app/SimulatorApp.h"
#include "backends/qt/QtHost.h"
#include "common/ControllerChild.h"
#include "common/KeepTrainsRunning.h"
#include "protocol/CommandFraming.h"
#include "sim/World.h"

#include <QApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <poll.h>
#include <random>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using quillon::CMD_REPORT;
using quillon::REPORT_BYTES;
using Clock = std::chrono::steady_clock;
constexpr int TRAINS = 7;
constexpr int SESSION_SECONDS = 10;
constexpr int POLL_MS = 213; // about 4.7 Hz
constexpr int REPLY_WAIT_MS = 2000;

struct Counts {
    long sessions = 0;
    long asked = 0;
    long answered = 0; // a whole report each, in time
    long missing = 0;  // short or late
};

using quillon::tools::readExactly;
using quillon::tools::sendAll;
using quillon::tools::sleepMs;

int speedStepOf(int train) {
    return 5 + train % 7;
}

// A framing point: whatever command a random byte left half-done takes the
// first 96 as its argument, and the second is a plain "go".
const std::vector<std::uint8_t> SYNC = {96, 96};

// One session of the controller: speeds for the seven trains, then polls
// with random bytes mixed in, until the session's time is up.
void session(int peer, std::mt19937& random, Counts& counts) {
    std::vector<std::uint8_t> start = SYNC;
    for (int t = 1; t <= TRAINS; ++t) {
        start.push_back(static_cast<std::uint8_t>(speedStepOf(t)));
        start.push_back(static_cast<std::uint8_t>(t));
    }
    sendAll(peer, start);
    auto end = Clock::now() + std::chrono::seconds(SESSION_SECONDS);
    while (Clock::now() < end) {
        std::vector<std::uint8_t> bytes;
        if (random() % 4 == 0) {
            int n = 1 + static_cast<int>(random() % 12);
            for (int i = 0; i < n; ++i) {
                std::uint8_t b = static_cast<std::uint8_t>(random());
                bytes.push_back(b == CMD_REPORT ? CMD_REPORT + 1 : b);
            }
            bytes.insert(bytes.end(), SYNC.begin(), SYNC.end());
        }
        bytes.push_back(CMD_REPORT);
        ++counts.asked;
        std::uint8_t report[REPORT_BYTES];
        if (sendAll(peer, bytes) && readExactly(peer, report, REPORT_BYTES, REPLY_WAIT_MS))
            ++counts.answered;
        else
            ++counts.missing;
        sleepMs(POLL_MS);
    }
}

// The controlling program: listens, serves a session, leaves, and again,
// until the run is over. After each session it writes its counts to out.
int controller(const std::string& path, int out, int seconds) {
    std::mt19937 random{20261207u};
    Counts counts;
    auto end = Clock::now() + std::chrono::seconds(seconds);
    while (Clock::now() < end) {
        int listener = quillon::tools::listenAt(path);
        if (listener < 0)
            return 1;
        pollfd waiting{listener, POLLIN, 0};
        if (::poll(&waiting, 1, 5000) > 0) {
            int peer = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
            ++counts.sessions;
            session(peer, random, counts);
            ::close(peer);
        }
        ::close(listener);
        ::unlink(path.c_str());
        if (::write(out, &counts, sizeof counts) != sizeof counts)
            return 1;
        sleepMs(300); // the program notices the loss before the next session
    }
    return 0;
}

int openDescriptors() {
    int count = 0;
    if (DIR* fds = ::opendir("/proc/self/fd")) {
        while (dirent* entry = ::readdir(fds))
            count += entry->d_name[0] != '.';
        ::closedir(fds);
        --count; // the directory being read
    }
    return count;
}

} // namespace

int main(int argc, char** argv) {
    int minutes = argc > 1 ? std::atoi(argv[1]) : 30;
    int sampleSeconds = argc > 2 ? std::atoi(argv[2]) : 60;
    if (minutes < 1 || sampleSeconds < 1) {
        std::fprintf(stderr, "usage: quillon_soak [MINUTES [SAMPLE_SECONDS]]\n");
        return 2;
    }
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    quillon::tools::ControllerChild child;
    auto run = [minutes](const std::string& path, int out) {
        return controller(path, out, minutes * 60);
    };
    if (!quillon::tools::startControllerChild("quillon-soak", run, child))
        return 1;
    const int fromController = child.fromChild;

    QApplication qtApplication(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    quillon::QtHost host;
    Counts latest;
    bool healthy = true;
    {
        quillon::SimulatorApp app(host);
        quillon::World& world = app.world();
        const quillon::Track& layout = quillon::activeTrack(world.layouts);
        for (int i = 0, placed = 0; i < layout.nodeCount() && placed < TRAINS; i += 5)
            if (layout.nodes[static_cast<std::size_t>(i)].type == quillon::NODE_SENSOR)
                quillon::placeTrain(world, ++placed, quillon::activeNode(world.layouts, i));

        // A train that halted, crashed or was stopped is turned round and set
        // going again; one still stuck the next time is put on a sensor node
        // that no train is near.
        quillon::tools::TrainKeeper<TRAINS> keeper(speedStepOf);
        QTimer user;
        QObject::connect(&user, &QTimer::timeout, [&] { keeper.look(world); });
        user.start(500);

        QSocketNotifier notifier(fromController, QSocketNotifier::Read);
        QObject::connect(&notifier, &QSocketNotifier::activated, [&] {
            Counts got;
            if (::read(fromController, &got, sizeof got) != sizeof got) {
                QCoreApplication::exit(0); // the controller is done
                return;
            }
            latest = got;
        });

        auto started = Clock::now();
        auto sample = [&] {
            double elapsed = std::chrono::duration<double>(Clock::now() - started).count();
            std::printf("%7.0f s  rss %6ld KiB  fds %3d  moving %d  sessions %4ld  reports "
                        "asked %6ld answered %6ld missing %ld\n",
                        elapsed, quillon::tools::statusKb("VmRSS:"), openDescriptors(),
                        quillon::tools::movingTrains(world), latest.sessions, latest.asked,
                        latest.answered, latest.missing);
        };
        sample();
        QTimer sampler;
        QObject::connect(&sampler, &QTimer::timeout, sample);
        sampler.start(sampleSeconds * 1000);
        QApplication::exec();
        sample();
    }
    int status = 0;
    ::waitpid(child.pid, &status, 0);
    ::rmdir(child.folder.c_str());
    healthy = WIFEXITED(status) && WEXITSTATUS(status) == 0 && latest.missing == 0 &&
              latest.answered == latest.asked;
    std::printf("%s: %ld sessions, %ld of %ld reports answered with %d bytes\n",
                healthy ? "sound" : "NOT SOUND", latest.sessions, latest.answered, latest.asked,
                REPORT_BYTES);
    return healthy ? 0 : 1;
}
