// quillon-ctl demo: a show on layout A, B or a layout file. The switch settings are found by
// running the trains in a world of our own first: settings under which every
// train keeps running for the trial's time, without a dead end and without
// meeting another train. All trains then always share one speed step, so
// trains that follow each other round one loop keep their distance.
#include "app/Options.h"
#include "ctl/Ctl.h"
#include "ctl/Link.h"
#include "protocol/CommandFraming.h"
#include "sim/Movement.h"
#include "sim/World.h"
#include "track/ContactNames.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace quillon::ctl {
namespace {

constexpr const char* USAGE =
    "usage: quillon-ctl demo [--socket PATH] [--layout A|B|FILE] [--place TRAIN:NODE]...\n"
    "Waits for Quillon and runs the trains placed on the layout (A unless --layout\n"
    "says otherwise) in a show: switches set so that the trains run loops, speeds\n"
    "changing, each sensor printed as a train passes it. Give the same --layout and\n"
    "--place options as to Quillon; without any --place on layout A, the demo\n"
    "assumes --place 12:A1 --place 24:B7 --place 57:D9.\n";

constexpr const char* DEFAULT_PLACES[] = {"12:A1", "24:B7", "57:D9"};
constexpr int SPEEDS[] = {8, 11, 6, 13, 9};
constexpr int TRIAL_STEP_MS = 10;
constexpr int TRIAL_MS = 240000;
constexpr int TRIALS = 400;
constexpr int SPEED_PERIOD_MS = 12000;
constexpr int POLL_MS = 100;
constexpr int ANSWER_TIMEOUT_MS = 5000;

using Setting = std::vector<bool>; // curved, by the switch's place in Switches
using Switches = std::vector<int>; // the numbers the controller sets switches by

// The switches of the active layout: a built-in's by slot, a loaded
// layout's in node order.
Switches switchesOf(const World& world) {
    Switches numbers;
    const Track& track = activeTrack(world.layouts);
    if (track.record) {
        for (int k = 0; k < SWITCH_SLOTS; ++k)
            numbers.push_back(switchNumber(k));
        return numbers;
    }
    for (const Node& node : track.nodes) {
        if (node.type == NODE_SWITCH)
            numbers.push_back(node.id);
    }
    return numbers;
}

// True when, under setting, every train runs for the trial's time at the
// fastest step of the show without halting or colliding, and passes sensors.
bool keepsRunning(const World& start, const Switches& switches, const Setting& setting) {
    auto world = std::make_unique<World>(start);
    for (std::size_t k = 0; k < switches.size(); ++k)
        setSwitch(*world, switches[k], setting[k] ? SWITCH_DIR_CURVED : SWITCH_DIR_STRAIGHT);
    for (int k = 0; k < world->trains.count; ++k)
        setTrainSpeed(*world, world->trains.trains[k].number, 13, true);
    std::vector<int> passed(static_cast<std::size_t>(world->trains.count), 0);
    for (int elapsed = 0; elapsed < TRIAL_MS; elapsed += TRIAL_STEP_MS) {
        world->events.count = 0;
        stepTrains(*world, TRIAL_STEP_MS);
        for (int e = 0; e < world->events.count; ++e) {
            const Event& event = world->events.events[e];
            if (event.kind == EventKind::Halt || event.kind == EventKind::Collision)
                return false;
            const int train = findTrain(world->trains, event.b);
            if (event.kind == EventKind::SensorLatched && train >= 0)
                ++passed[static_cast<std::size_t>(train)];
        }
    }
    for (int count : passed) {
        if (count < 2)
            return false;
    }
    return true;
}

bool findSetting(const World& start, const Switches& switches, Setting& setting) {
    std::mt19937 random(1);
    for (int trial = 0; trial < TRIALS; ++trial) {
        setting.assign(switches.size(), false);
        for (std::size_t k = 0; k < switches.size(); ++k)
            setting[k] = (random() & 1) != 0;
        if (keepsRunning(start, switches, setting))
            return true;
    }
    return false;
}

bool setSpeeds(Link& link, const World& world, int step) {
    for (int k = 0; k < world.trains.count; ++k) {
        const std::uint8_t bytes[2] = {static_cast<std::uint8_t>(step),
                                       static_cast<std::uint8_t>(world.trains.trains[k].number)};
        if (!link.send(bytes, 2))
            return false;
    }
    return true;
}

// Runs the show until Quillon leaves.
void show(Link& link, const World& world, const Switches& switches, const Setting& setting) {
    for (std::size_t k = 0; k < switches.size(); ++k) {
        const std::uint8_t bytes[2] = {setting[k] ? CMD_SWITCH_CURVED : CMD_SWITCH_STRAIGHT,
                                       static_cast<std::uint8_t>(switches[k])};
        if (!link.send(bytes, 2))
            return;
    }
    const std::uint8_t off = CMD_SOLENOID_OFF;
    if (!link.send(&off, 1))
        return;
    const Clock::time_point start = Clock::now();
    int speedIndex = -1;
    for (Clock::time_point next = start;; next += std::chrono::milliseconds(POLL_MS)) {
        const double seconds = secondsSince(start);
        const int due = static_cast<int>(seconds * 1000.0) / SPEED_PERIOD_MS %
                        static_cast<int>(sizeof SPEEDS / sizeof SPEEDS[0]);
        if (due != speedIndex) {
            speedIndex = due;
            if (!setSpeeds(link, world, SPEEDS[speedIndex]))
                return;
            std::printf("%.2f speed %d\n", seconds, SPEEDS[speedIndex]);
        }
        std::uint8_t answer[10];
        if (link.report(answer, ANSWER_TIMEOUT_MS) != static_cast<int>(sizeof answer))
            return;
        int numbers[80];
        const int count = sensorsIn(answer, numbers);
        for (int k = 0; k < count; ++k) {
            char name[CONTACT_NAME_CAPACITY];
            formatContactName(numbers[k], name);
            std::printf("%.2f %s\n", secondsSince(start), name);
        }
        std::fflush(stdout);
        bool input = false;
        if (!link.waitUntil(next + std::chrono::milliseconds(POLL_MS), false, input))
            return;
    }
}

} // namespace

int demo(int argc, char** argv) {
    ParsedOptions options = startOptions(nullptr);
    std::vector<const char*> arguments = {"quillon-ctl demo"};
    bool placed = false, otherLayout = false;
    for (int i = 0; i < argc; ++i) {
        placed = placed || std::strncmp(argv[i], "--place", 7) == 0;
        const char* layout = std::strncmp(argv[i], "--layout=", 9) == 0              ? argv[i] + 9
                             : std::strcmp(argv[i], "--layout") == 0 && i + 1 < argc ? argv[i + 1]
                                                                                     : nullptr;
        otherLayout = otherLayout || (layout != nullptr && std::strcmp(layout, "A") != 0 &&
                                      std::strcmp(layout, "a") != 0);
    }
    // The default places go first, so that an option missing its value at
    // the end is said to be missing, not given one of them. They are
    // layout A's; on another layout the trains must be placed.
    if (!placed && !otherLayout) {
        for (const char* place : DEFAULT_PLACES) {
            arguments.push_back("--place");
            arguments.push_back(place);
        }
    }
    arguments.insert(arguments.end(), argv, argv + argc);
    const int count = static_cast<int>(arguments.size());
    for (int i = 1; i < count && options.ok; ++i) {
        const char* option = arguments[static_cast<std::size_t>(i)];
        const bool ours =
            std::strcmp(option, "--help") == 0 || std::strncmp(option, "--place", 7) == 0 ||
            std::strncmp(option, "--layout", 8) == 0 || std::strncmp(option, "--socket", 8) == 0 ||
            std::strncmp(option, "--cell-length", 13) == 0;
        if (!ours || !takeCommonOption(options, count, arguments.data(), i)) {
            const std::string what = std::string("demo: unknown option '") + option + "'";
            return usageError(what.c_str(), USAGE);
        }
    }
    finishOptions(options);
    if (!options.ok && options.layoutUnreadable) {
        std::fprintf(stderr, "%s\n", options.error.c_str());
        return 2;
    }
    if (!options.ok) {
        const std::string what = std::string("demo: ") + options.error;
        return usageError(what.c_str(), USAGE);
    }
    if (options.help) {
        std::fputs(USAGE, stdout);
        return 0;
    }
    for (const std::string& warning : options.layoutWarnings)
        std::fprintf(stderr, "%s\n", warning.c_str());
    if (options.app.placementCount == 0)
        return usageError("demo: no trains: place them with --place TRAIN:NODE", USAGE);
    std::string problem;
    if (options.app.socketPath[0] != '\0' && !socketPathUsable(options.app.socketPath, problem))
        return usageError(("demo: " + problem).c_str(), USAGE);
    auto world = std::make_unique<World>(makeWorld());
    applyOptions(*world, options.app);
    const Switches switches = switchesOf(*world);
    Setting setting;
    if (!findSetting(*world, switches, setting)) {
        std::fprintf(stderr, "quillon-ctl: demo: no switch settings keep these trains running "
                             "clear of dead ends and of each other\n");
        return 1;
    }
    const std::string path =
        socketPathOr(options.app.socketPath[0] != '\0' ? options.app.socketPath : nullptr);
    const std::unique_ptr<Link> connected = awaitSimulator(path.c_str());
    if (connected == nullptr)
        return 1;
    Link& link = *connected;
    show(link, *world, switches, setting);
    std::fprintf(stderr, "quillon-ctl: Quillon went away; the show is over\n");
    return 0;
}

} // namespace quillon::ctl
