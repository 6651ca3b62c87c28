// quillon-headless: the simulation without a window. It serves a
// controller over the socket in real time (or N times as fast), or runs a
// scenario in virtual time and gives a verdict on its expectations.
#include "app/Options.h"
#include "app/StepTiming.h"
#include "app/Version.h"
#include "backends/headless/ControllerLinkSeam.h"
#include "backends/headless/Expectations.h"
#include "backends/headless/HeadlessOptions.h"
#include "backends/headless/HeadlessRun.h"
#include "backends/headless/Pacer.h"
#include "backends/headless/Scenario.h"
#include "sim/LoadedLayout.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>

namespace {

using namespace quillon;
using namespace quillon::headless;

constexpr const char* PROGRAM = "quillon-headless";

int usageError(const std::string& message) {
    std::fprintf(stderr, "%s: %s\n%s", PROGRAM, message.c_str(), headlessUsageText());
    return 2;
}

// A layout file that does not load says every error it has, one a line,
// without the usage text that would bury them.
int layoutError(const std::string& errors) {
    std::fprintf(stderr, "%s\n", errors.c_str());
    return 2;
}

// The largest scenario file read: ample for any run of a day.
constexpr std::size_t LARGEST_SCENARIO_BYTES = 8u << 20;

// Reads the scenario file whole. False, with what is wrong, for what is not
// a regular file (a folder, a device, a FIFO: refused before it is opened,
// so never waited on) or is larger than LARGEST_SCENARIO_BYTES, checked
// while reading.
bool readScenarioFile(const std::string& path, std::string& text, std::string& problem) {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    if (error) {
        problem = error.message();
        return false;
    }
    if (!std::filesystem::is_regular_file(status)) {
        problem = std::filesystem::is_directory(status) ? "a folder, not a scenario file"
                                                        : "not a regular file";
        return false;
    }
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                         std::fclose);
    if (!file) {
        problem = std::strerror(errno);
        return false;
    }
    text.clear();
    char chunk[65536];
    for (;;) {
        const std::size_t got = std::fread(chunk, 1, sizeof chunk, file.get());
        if (text.size() + got > LARGEST_SCENARIO_BYTES) {
            problem = "larger than " + std::to_string(LARGEST_SCENARIO_BYTES >> 20) + " MiB";
            return false;
        }
        text.append(chunk, got);
        if (got < sizeof chunk)
            break;
    }
    if (std::ferror(file.get()) != 0) {
        problem = std::strerror(errno);
        return false;
    }
    return true;
}

// True when both paths name one file, however they are spelled.
bool sameFile(const std::string& a, const std::string& b) {
    std::error_code error;
    return std::filesystem::equivalent(a, b, error);
}

// Tries to reach the controller once a second of real time, whatever the
// speed: at the first call and then whenever the second is up.
void keepConnected(ControllerLink& link, Pacer::Clock::time_point& attemptAt) {
    const Pacer::Clock::time_point now = Pacer::Clock::now();
    if (now < attemptAt)
        return;
    attemptAt = now + std::chrono::milliseconds(RECONNECT_PERIOD_MS);
    if (!link.isConnected())
        link.connect();
}

// Waits for the next step in real time, answering the controller at once
// meanwhile: what it sends is read as it arrives, within the coming step's
// budget of 24 bytes. While the run is idle and the controller connected,
// the steps that would change nothing are skipped: the wait lasts until the
// controller sends, a statement falls due or the run ends. The controller
// is looked for once a second meanwhile. False when an ending signal came.
bool waitForStep(Pacer& pacer, HeadlessRun& run, ControllerLink& link, std::int64_t end,
                 Pacer::Clock::time_point& attemptAt) {
    bool watch = true;
    for (;;) {
        keepConnected(link, attemptAt);
        // Steps are skipped only while the controller can wake the run.
        bool readable = watch && link.isConnected() && run.canReadEarly();
        bool idle = readable && run.idle();
        std::int64_t wakeAt = idle ? std::min(run.nextActionTime(), end) : run.now();
        Waitable bytes = readable ? readableWaitable(link) : NO_WAITABLE;
        Wake wake = pacer.waitUntil(wakeAt, bytes, attemptAt);
        if (wake == Wake::Signal)
            return false;
        if (wake == Wake::Later)
            continue;
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

// A layout as messages name it: its letter, or its file.
std::string layoutNameOf(int layout, const std::string& path) {
    return layout == LAYOUT_LOADED ? path : std::string(1, char('A' + layout));
}

// How often a run in virtual time looks for an ending signal, in simulated time.
constexpr std::int64_t SIGNAL_CHECK_PERIOD_MS = 1000;

// Reads the scenario file and sets the world on the scenario's layout. 0
// when the run can start; otherwise, with what is wrong said, the exit
// status.
int prepareScenario(const HeadlessOptions& options, const ParsedOptions& common, World& world,
                    Scenario& scenario) {
    std::string text, unread;
    if (!readScenarioFile(options.scenario, text, unread)) {
        std::fprintf(stderr, "%s: cannot read %s: %s\n", PROGRAM, options.scenario.c_str(),
                     unread.c_str());
        return 2;
    }
    ScenarioError problem;
    if (!parseScenario(text, world.layouts, common.app.layout, scenario, problem,
                       options.scenario)) {
        if (problem.line > 0)
            std::fprintf(stderr, "%s:%d: %s\n", options.scenario.c_str(), problem.line,
                         problem.message.c_str());
        else
            std::fprintf(stderr, "%s: %s\n", options.scenario.c_str(), problem.message.c_str());
        for (const std::string& detail : problem.details)
            std::fprintf(stderr, "%s\n", detail.c_str());
        return 2;
    }
    const std::string optionLayout = layoutNameOf(common.app.layout, common.app.layoutPath);
    // A scenario that names no layout runs on the options' one.
    const std::string scenarioLayout = scenario.loadedLayout != nullptr
                                           ? scenario.layoutPath
                                           : layoutNameOf(scenario.layout, common.app.layoutPath);
    if (scenarioLayout != optionLayout && common.app.placementCount > 0)
        return usageError("--place names nodes of layout " + optionLayout +
                          ", but the scenario runs on layout " + scenarioLayout);
    if (scenario.loadedLayout != nullptr)
        installLoadedLayout(world, *scenario.loadedLayout, false);
    selectLayout(world.layouts, scenario.layout);
    return 0;
}

using LogFile = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

// Where the event log goes: standard output, the --log file (opened into
// file), or nowhere with --quiet. False, said, when the file cannot be
// written.
bool openLog(const HeadlessOptions& options, std::FILE*& log, LogFile& file) {
    log = options.quiet ? nullptr : stdout;
    if (options.log.empty())
        return true;
    // Binary: the log's lines end in LF on every system.
    file.reset(std::fopen(options.log.c_str(), "wb"));
    if (!file) {
        std::fprintf(stderr, "%s: cannot write %s: %s\n", PROGRAM, options.log.c_str(),
                     std::strerror(errno));
        return false;
    }
    log = file.get();
    return true;
}

// Steps the run until its end, in real time with a link, else in virtual
// time. True when an ending signal stopped it first.
bool runToEnd(Pacer& pacer, HeadlessRun& run, ControllerLink* link, std::int64_t end,
              std::FILE* log) {
    Pacer::Clock::time_point attemptAt = Pacer::Clock::now();
    while (run.now() < end) {
        if (link != nullptr && !waitForStep(pacer, run, *link, end, attemptAt))
            return true;
        if (link == nullptr && run.now() % SIGNAL_CHECK_PERIOD_MS == 0 && pacer.signalled())
            return true;
        run.step(link);
        if (link != nullptr && log != nullptr)
            std::fflush(log);
    }
    return false;
}

// The exit status of a scenario's run that reached its end or was
// interrupted: 0 when every expectation holds, else 1, each failure said.
int verdict(const HeadlessOptions& options, const Scenario& scenario, const HeadlessRun& run,
            const World& world, bool interrupted) {
    if (interrupted) {
        std::fprintf(stderr, "%s: interrupted at %lldms, before the end at %dms\n", PROGRAM,
                     static_cast<long long>(run.now()), scenario.endMs);
        return 1;
    }
    std::vector<Failure> failures = checkExpectations(scenario, run.observations(), world.layouts);
    for (const Failure& failure : failures)
        std::fprintf(stderr, "%s:%d: %s\n", options.scenario.c_str(), failure.line,
                     failure.message.c_str());
    return failures.empty() ? 0 : 1;
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
        std::printf("%s %s\n", PROGRAM, QUILLON_VERSION);
        return 0;
    }
    if (!understood)
        return common.layoutUnreadable ? layoutError(error) : usageError(error);
    for (const std::string& warning : common.layoutWarnings)
        std::fprintf(stderr, "%s\n", warning.c_str());

    Scenario scenario;
    bool haveScenario = !options.scenario.empty();
    LoadMessages messages{};
    World world = makeWorld(&messages);
    for (int i = 0; i < messages.count; ++i)
        std::fprintf(stderr, "%s: %s", PROGRAM, messages.texts[i]);
    applyOptions(world, common.app);

    const char* socketPath = common.app.socketPath;
    if (socketPath[0] != '\0' && std::strlen(socketPath) > longestControllerName())
        return usageError("--socket path is too long: at most " +
                          std::to_string(longestControllerName()) + " characters");
    if (!options.log.empty() && haveScenario && sameFile(options.log, options.scenario))
        return usageError("--log names the scenario file " + options.scenario);
    if (haveScenario) {
        if (int status = prepareScenario(options, common, world, scenario); status != 0)
            return status;
    }
    std::FILE* log = nullptr;
    LogFile logFile(nullptr, std::fclose);
    if (!openLog(options, log, logFile))
        return 2;

    const bool realTime = !haveScenario || options.connect;
    std::unique_ptr<ControllerLink> link;
    if (realTime)
        link = makeControllerLink(
            socketPath[0] != '\0' ? socketPath : defaultControllerName().c_str(), PROGRAM);
    Pacer pacer(options.speed);
    HeadlessRun run(world, haveScenario ? &scenario : nullptr, !options.connect, log,
                    common.app.commands);
    // Serving has no end: only a signal ends it.
    const bool interrupted =
        runToEnd(pacer, run, link.get(), haveScenario ? scenario.endMs : INT64_MAX, log);
    if (run.eventsLost())
        std::fprintf(stderr,
                     "%s: the world's event log overflowed; the log marks where events "
                     "were lost\n",
                     PROGRAM);
    if (link != nullptr)
        link->close();
    if (log != nullptr && (std::fflush(log) != 0 || !run.logWritten())) {
        std::fprintf(stderr, "%s: the event log could not be written\n", PROGRAM);
        return 2;
    }
    if (!haveScenario)
        return 0;
    return verdict(options, scenario, run, world, interrupted);
}
