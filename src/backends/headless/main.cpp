// quillon-headless: the simulation without a window. It serves a
// controller over the socket in real time (or N times as fast), or runs a
// scenario in virtual time and gives a verdict on its expectations.
#include "app/Options.h"
#include "app/StepTiming.h"
#include "backends/headless/Expectations.h"
#include "backends/headless/HeadlessOptions.h"
#include "backends/headless/HeadlessRun.h"
#include "backends/headless/Pacer.h"
#include "backends/headless/Scenario.h"
#include "backends/posix/PosixControllerLink.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>

namespace {

using namespace quillon;
using namespace quillon::headless;

constexpr const char* PROGRAM = "quillon-headless";

int usageError(const std::string& message) {
    std::fprintf(stderr, "%s: %s\n%s", PROGRAM, message.c_str(), headlessUsageText());
    return 2;
}

bool readFile(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream content;
    content << in.rdbuf();
    text = content.str();
    return !in.bad();
}

// Keeps the link connected the way the windowed program does: at the start
// and then once a second of simulated time.
void keepConnected(ControllerLink& link, std::int32_t now) {
    if (now % RECONNECT_PERIOD_MS != 0 || link.isConnected())
        return;
    link.connect();
}

// Waits for the next step in real time, answering the controller at once
// meanwhile: what it sends is read as it arrives, within the coming step's
// budget of 24 bytes. While the run is idle and the controller connected,
// the steps that would change nothing are skipped: the wait lasts until the
// controller sends, a statement falls due or the run ends. False when an
// ending signal came.
bool waitForStep(Pacer& pacer, HeadlessRun& run, PosixControllerLink& link, std::int32_t end) {
    bool watch = true;
    for (;;) {
        // Steps are skipped only while the controller can wake the run.
        bool readable = watch && link.isConnected() && run.canReadEarly();
        bool idle = readable && run.idle();
        std::int32_t wakeAt = idle ? std::min(run.nextActionTime(), end) : run.now();
        int fd = readable ? link.descriptor() : -1;
        Wake wake = pacer.waitUntil(wakeAt, fd);
        if (wake == Wake::Signal)
            return false;
        if (wake == Wake::Due) {
            run.skipTo(wakeAt);
            return true;
        }
        // The world stood still until now: the bytes belong to the coming
        // step, as they would had every step run.
        if (idle)
            run.skipTo(std::min(pacer.nextStepTime(STEP_PERIOD_MS), wakeAt));
        // Nothing read from a readable socket is its end: leave it to the
        // step, which notices.
        if (run.readEarly(&link) == 0)
            watch = false;
    }
}

} // namespace

int main(int argc, char** argv) {
    HeadlessOptions options;
    ParsedOptions common = startOptions(std::getenv("QUILLON_COMMANDS"));
    std::string error;
    bool understood = parseHeadlessOptions(argc, argv, options, common, error);
    if (common.help) {
        std::fputs(headlessUsageText(), stdout);
        return 0;
    }
    if (common.version) {
        std::printf("%s 1.0\n", PROGRAM);
        return 0;
    }
    if (!understood)
        return usageError(error);

    LoadMessages messages{};
    World world = makeWorld(&messages);
    for (int i = 0; i < messages.count; ++i)
        std::fprintf(stderr, "%s: %s", PROGRAM, messages.texts[i]);
    applyOptions(world, common.app);

    Scenario scenario;
    bool haveScenario = !options.scenario.empty();
    if (haveScenario) {
        std::string text;
        if (!readFile(options.scenario, text)) {
            std::fprintf(stderr, "%s: cannot read %s: %s\n", PROGRAM, options.scenario.c_str(),
                         std::strerror(errno));
            return 2;
        }
        ScenarioError problem;
        if (!parseScenario(text, world.layouts, common.app.layout, scenario, problem)) {
            if (problem.line > 0)
                std::fprintf(stderr, "%s:%d: %s\n", options.scenario.c_str(), problem.line,
                             problem.message.c_str());
            else
                std::fprintf(stderr, "%s: %s\n", options.scenario.c_str(), problem.message.c_str());
            return 2;
        }
        if (scenario.layout != common.app.layout && common.app.placementCount > 0)
            return usageError(std::string("--place names nodes of layout ") +
                              char('A' + common.app.layout) + ", but the scenario runs on layout " +
                              char('A' + scenario.layout));
        selectLayout(world.layouts, scenario.layout);
    }

    std::FILE* log = options.quiet ? nullptr : stdout;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> logFile(nullptr, std::fclose);
    if (!options.log.empty()) {
        logFile.reset(std::fopen(options.log.c_str(), "w"));
        if (!logFile) {
            std::fprintf(stderr, "%s: cannot write %s: %s\n", PROGRAM, options.log.c_str(),
                         std::strerror(errno));
            return 2;
        }
        log = logFile.get();
    }

    bool realTime = !haveScenario || options.connect;
    std::unique_ptr<PosixControllerLink> link;
    if (realTime)
        link = std::make_unique<PosixControllerLink>(common.app.socketPath[0] != '\0'
                                                         ? common.app.socketPath
                                                         : controllerSocketPath().c_str());

    Pacer pacer(options.speed);
    HeadlessRun run(world, haveScenario ? &scenario : nullptr, !options.connect, log,
                    common.app.commands);
    std::int32_t end = haveScenario ? scenario.endMs : INT32_MAX - STEP_PERIOD_MS;
    bool interrupted = false;
    while (run.now() < end) {
        if (realTime) {
            if (!waitForStep(pacer, run, *link, end)) {
                interrupted = true;
                break;
            }
            keepConnected(*link, run.now());
        }
        run.step(link.get());
        if (realTime && log != nullptr)
            std::fflush(log);
    }
    if (link != nullptr)
        link->close();
    if (log != nullptr && (std::fflush(log) != 0 || !run.logWritten())) {
        std::fprintf(stderr, "%s: the event log could not be written\n", PROGRAM);
        return 2;
    }
    if (!haveScenario)
        return 0;
    if (interrupted) {
        std::fprintf(stderr, "%s: interrupted at %dms, before the end at %dms\n", PROGRAM,
                     run.now(), scenario.endMs);
        return 1;
    }
    std::vector<Failure> failures = checkExpectations(scenario, run.observations(), world.layouts);
    for (const Failure& failure : failures)
        std::fprintf(stderr, "%s:%d: %s\n", options.scenario.c_str(), failure.line,
                     failure.message.c_str());
    return failures.empty() ? 0 : 1;
}
