// The headless program as a process: scenario runs, their logs and
// verdicts, and a real controller over the socket.
#include "backends/posix/TestController.h"
#include "backends/posix/TestProcess.h"
#include "sim/Movement.h"
#include "sim/Trains.h"
#include "sim/World.h"
#include "support/LayoutFiles.h"
#include "track/ContactNames.h"

#include <chrono>
#include <csignal>
#include <fstream>
#include <gtest/gtest.h>
#include <regex>
#include <sys/stat.h>

namespace quillon::testing {
namespace {

struct Outcome {
    int status = -1;
    std::string out, err;
};

class HeadlessProgramTest : public ::testing::Test {
protected:
    HeadlessProgramTest() { ::setenv("QUILLON_PIPE", dir.path.c_str(), 1); }
    // Starts the program with the scenario file holding text.
    std::unique_ptr<TestProcess> start(const std::string& text, std::vector<std::string> args) {
        std::ofstream(scenario()) << text;
        args.insert(args.begin(), QUILLON_HEADLESS);
        return std::make_unique<TestProcess>(dir.folder, "run", std::move(args));
    }
    Outcome finish(TestProcess& program) {
        return {program.exitStatus(), slurp(program.out), slurp(program.err)};
    }
    Outcome run(const std::string& text, std::vector<std::string> extra = {}) {
        extra.insert(extra.begin(), {"--scenario", scenario()});
        return finish(*start(text, extra));
    }
    std::string scenario() const { return dir.folder / "s.scn"; }
    // Starts the program with a controller listening, which it connects to.
    std::unique_ptr<TestProcess> serve(const std::string& text, std::vector<std::string> args) {
        EXPECT_TRUE(dir.listen());
        auto program = start(text, std::move(args));
        EXPECT_TRUE(dir.accept(3000));
        return program;
    }
    Outcome stop(TestProcess& program) {
        ::kill(program.pid, SIGTERM);
        return finish(program);
    }

    TestController dir; // a fresh folder, and the controller when one listens
};

// How often text holds needle.
int countOf(const std::string& text, const std::string& needle) {
    int count = 0;
    for (std::size_t at = text.find(needle); at != std::string::npos;
         at = text.find(needle, at + 1))
        ++count;
    return count;
}

// (time, sensor name) of each sensor line of a log.
std::vector<std::pair<int, std::string>> sensorsLogged(const std::string& log) {
    std::vector<std::pair<int, std::string>> seen;
    std::regex line(R"re(\{"t":(\d+),"event":"sensor","sensor":"(\w+)")re");
    for (std::sregex_iterator it(log.begin(), log.end(), line), end; it != end; ++it)
        seen.emplace_back(std::stoi((*it)[1]), (*it)[2]);
    return seen;
}

TEST_F(HeadlessProgramTest, TheRouteFromA1PassesItsSensorsAtTheTimesOfTheMovementStep) {
    Outcome outcome = run("place 12 A1\nspeed 12 8\nat 14s end\n");
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    // The same world stepped directly: the speed command lands in the first
    // read step, and a movement step's events carry the time at its end.
    World world = makeWorld();
    placeTrain(world, 12, activeNode(world.layouts, 0));
    setTrainSpeed(world, 12, 8, true);
    std::vector<std::pair<int, std::string>> expected;
    for (int t = 10; t <= 14000; t += 10) {
        world.events.count = 0;
        stepTrains(world, 10);
        for (int i = 0; i < world.events.count; ++i)
            if (const Event& e = world.events.events[i]; e.kind == EventKind::SensorLatched) {
                char name[CONTACT_NAME_CAPACITY];
                formatContactName(e.a, name);
                expected.emplace_back(t, name);
            }
    }
    EXPECT_EQ(sensorsLogged(outcome.out), expected);
}

constexpr const char* ROUTE = "place 12 A1\nspeed 12 8\nat 14s end\n"; // C13 at 1900 ms
constexpr const char* CRASH = "place 12 A1\nplace 22 C13\nspeed 12 10\nat 3s end\n";
constexpr const char* HALT = "place 12 A15\nspeed 12 14\nat 2s end\n"; // at DE6, 340 ms

TEST_F(HeadlessProgramTest, EachExpectationHoldsOrFailsWithWhatHappened) {
    struct Row {
        const char* base;
        const char* expectation;
        const char* failure; // nullptr: it holds
    } rows[] = {
        {ROUTE, "expect sensor C13 train 12 between 1.9s and 1.9s", nullptr},
        {ROUTE, "expect sensor C13 between 0s and 1890ms",
         "expected sensor C13 between 0s and 1890ms, got C13 at 1900ms (train 12)"},
        {ROUTE, "expect sensor C13 train 22 between 0s and 10s",
         "expected sensor C13 train 22 between 0s and 10s, got none"},
        {ROUTE, "expect no sensor E7 between 0s and 5s", nullptr},
        {ROUTE, "expect no sensor E7 between 5s and 6s",
         "expected no sensor E7 between 5s and 6s, got E7 at 5440ms (train 12)"},
        {CRASH, "expect collision", nullptr},
        {ROUTE, "expect collision", "expected collision, got none"},
        {ROUTE, "expect no collision", nullptr},
        {CRASH, "expect no collision", "expected no collision, got trains 12 and 22 at 1440ms"},
        {HALT, "expect halt train 12 at DE6", nullptr},
        {HALT, "expect halt train 12 at DE7",
         "expected halt train 12 at DE7, got halt at DE6 at 340ms"},
        {ROUTE, "expect halt train 12", "expected halt train 12, got none"},
        {HALT, "at 340ms expect halt train 12", nullptr},
        {HALT, "at 330ms expect halt train 12", "expected halt train 12 by 330ms, got none"},
    };
    for (const Row& row : rows) {
        Outcome outcome = run(row.expectation + std::string("\n") + row.base, {"--quiet"});
        EXPECT_EQ(outcome.status, row.failure == nullptr ? 0 : 1) << row.expectation;
        std::string said = row.failure == nullptr ? "" : scenario() + ":1: " + row.failure + "\n";
        EXPECT_EQ(outcome.err, said) << row.expectation;
    }
}

TEST_F(HeadlessProgramTest, TheFullCommandSetLogsLightsAndPower) {
    Outcome outcome = run("place 12 A1\nsend 24 12 97\nat 1s end\n", {"--commands", "full"});
    EXPECT_EQ(outcome.out, "{\"t\":0,\"event\":\"place\",\"train\":12,\"node\":\"A1\"}\n"
                           "{\"t\":0,\"event\":\"command\",\"bytes\":[24,12],"
                           "\"text\":\"speed train 12 step 8 light on\",\"light\":true}\n"
                           "{\"t\":0,\"event\":\"command\",\"bytes\":[97],\"text\":\"stop\"}\n"
                           "{\"t\":0,\"event\":\"power\",\"on\":false}\n");
}

TEST_F(HeadlessProgramTest, AStepDecodesAtMost24BytesAndTheRestWaits) {
    std::string requests = "send";
    for (int i = 0; i < 30; ++i)
        requests += " 133";
    std::string log = run(requests + "\nat 1s end\n").out;
    EXPECT_EQ(countOf(log, "{\"t\":0,\"event\":\"report\""), 24);
    EXPECT_EQ(countOf(log, "{\"t\":10,\"event\":\"report\""), 6);
}

TEST_F(HeadlessProgramTest, AMalformedLineFailsTheRunBeforeItStarts) {
    Outcome outcome = run("place 12 A1\n\nspeed 12 99\nat 5s end\n");
    EXPECT_EQ(outcome.status, 2);
    EXPECT_EQ(outcome.err, scenario() + ":3: '99' is not a speed step (0..14)\n");
    EXPECT_EQ(outcome.out, "") << "nothing ran";
}

TEST_F(HeadlessProgramTest, RefusesBadInputBeforeItRunsWithTwo) {
    const std::string big = dir.folder / "big.scn";
    std::ofstream(big) << std::string((8 << 20) + 1, '#');
    const std::string cannot = "quillon-headless: cannot read ";
    struct Row {
        std::vector<std::string> args;
        std::string firstLine;
    } rows[] = {
        {{"--scenario", "/dev/zero"}, cannot + "/dev/zero: not a regular file"},
        {{"--scenario", dir.dir}, cannot + dir.dir + ": a folder, not a scenario file"},
        {{"--scenario", big}, cannot + big + ": larger than 8 MiB"},
        {{"--scenario", scenario(), "--log", dir.folder / "./s.scn"},
         "quillon-headless: --log names the scenario file " + scenario()},
        {{"--socket", "/tmp/" + std::string(120, 'x')},
         "quillon-headless: --socket path is too long: at most 107 characters"},
    };
    for (const Row& row : rows) {
        Outcome outcome = finish(*start(ROUTE, row.args));
        EXPECT_EQ(outcome.status, 2) << row.firstLine;
        EXPECT_EQ(outcome.err.substr(0, outcome.err.find('\n')), row.firstLine);
    }
    EXPECT_EQ(slurp(scenario()), ROUTE) << "the scenario is never the log";
}

TEST_F(HeadlessProgramTest, TheLayoutOptionTakesAFileWithPlacesByItsNames) {
    const std::string file = dir.folder / "a.layout";
    std::ofstream(file) << layoutAText();
    const auto expected = sensorsLogged(run(ROUTE).out);
    EXPECT_EQ(
        sensorsLogged(run("speed 12 8\nat 14s end\n", {"--layout", file, "--place", "12:A1"}).out),
        expected);
}

TEST_F(HeadlessProgramTest, AScenarioLayoutFileThatDoesNotLoadGivesItsErrorsAfterTheLine) {
    std::ofstream(dir.folder / "bad.layout") << twoMistakesText();
    const Outcome outcome = run(std::string("layout bad.layout\n") + ROUTE);
    const std::string bad = dir.folder / "bad.layout";
    EXPECT_EQ(outcome.status, 2);
    EXPECT_EQ(countOf(outcome.err, "\n" + bad + ":"), 2);
    EXPECT_EQ(outcome.err.substr(0, outcome.err.find('\n')),
              scenario() + ":1: the layout file " + bad + " does not load");
}

TEST_F(HeadlessProgramTest, ALayoutOptionFileThatDoesNotLoadGivesItsErrorsAlone) {
    const std::string bad = dir.folder / "bad.layout";
    std::ofstream(bad) << twoMistakesText();
    const Outcome outcome = run(ROUTE, {"--layout", bad});
    EXPECT_EQ(outcome.status, 2);
    EXPECT_EQ(countOf(outcome.err, bad + ":"), 2);
    EXPECT_EQ(countOf(outcome.err, "\n"), 2) << "no usage text";
}

TEST_F(HeadlessProgramTest, TheCommandsOptionWinsOverABadVariable) {
    ::setenv("QUILLON_COMMANDS", "bogus", 1);
    EXPECT_EQ(run(ROUTE, {"--commands", "full"}).status, 0);
    EXPECT_EQ(run(ROUTE).status, 2);
    ::unsetenv("QUILLON_COMMANDS");
}

TEST_F(HeadlessProgramTest, ASignalEndsARunInVirtualTimeAsInterrupted) {
    const std::string fifo = dir.folder / "log";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    auto running = start("place 12 A1\nspeed 12 8\nat 86400s end\n",
                         {"--scenario", scenario(), "--log", fifo});
    std::FILE* log = std::fopen(fifo.c_str(), "r");
    ASSERT_NE(log, nullptr);
    char line[256];
    // The run has begun, and with it the wait for signals; the full pipe holds it.
    ASSERT_NE(std::fgets(line, sizeof line, log), nullptr);
    ::kill(running->pid, SIGTERM);
    while (std::fgets(line, sizeof line, log) != nullptr) {
    }
    std::fclose(log);
    Outcome outcome = finish(*running);
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.err.rfind("quillon-headless: interrupted at ", 0), 0u) << outcome.err;
}

// Bounded by the test's time limit: each step once scanned every statement
// left, which took hours here.
TEST_F(HeadlessProgramTest, ManyStatementsCostAStepNoMore) {
    std::string text;
    for (int i = 0; i < 100000; ++i)
        text += "at 86399990ms switch 5 curved\n";
    EXPECT_EQ(run(text + "at 86400s end\n", {"--quiet"}).status, 0);
}

TEST_F(HeadlessProgramTest, EveryOneOfManyEventsAtOneTimeIsLogged) {
    std::string text;
    for (int i = 0; i < 300; ++i)
        text += i % 2 == 0 ? "place 12 A1\n" : "place 12 A3\n";
    EXPECT_EQ(countOf(run(text + "at 1s end\n").out, "\"event\":\"place\""), 300);
}

TEST_F(HeadlessProgramTest, AStatementRunsAtTheFirstStepAtOrAfterItsTimeInEveryMode) {
    const char* text = "at 1005ms place 12 A1\nat 1100ms end\n";
    const std::string placed = "{\"t\":1010,\"event\":\"place\"";
    EXPECT_EQ(countOf(run(text).out, placed), 1) << "virtual time";
    auto connected = serve(text, {"--scenario", scenario(), "--connect", "--speed", "10"});
    EXPECT_EQ(countOf(finish(*connected).out, placed), 1) << "--connect";
}

TEST_F(HeadlessProgramTest, SaysInItsOwnNameWhyItRefusesTheSocketPath) {
    const std::string file = dir.folder / "file";
    std::ofstream(file) << "keep";
    auto serving = start("", {"--quiet", "--socket", file});
    std::string err;
    for (int waited = 0; err.empty() && waited < 5000; waited += 20) {
        ::usleep(20 * 1000);
        err = slurp(serving->err);
    }
    stop(*serving);
    EXPECT_EQ(err, "quillon-headless: not connecting to " + file + ": it is not a socket\n");
}

TEST_F(HeadlessProgramTest, ServingAnswersAControllerThatShutItsSendingSide) {
    auto serving = serve("", {"--quiet"});
    ASSERT_TRUE(dir.send({133}));
    dir.shutSending();
    EXPECT_EQ(dir.receive(10, 3000).size(), 10u);
    stop(*serving);
}

TEST_F(HeadlessProgramTest, ServingLogsTheReportsItCouldNotWrite) {
    auto serving = serve("", {"--log", dir.folder / "log", "--speed", "100"});
    constexpr int REQUESTS = 3000;
    ASSERT_TRUE(dir.send(Bytes(REQUESTS, 133))) << "the controller never reads";
    std::string log;
    auto answered = [&] {
        return countOf(log, "\"event\":\"report\"") + countOf(log, "\"event\":\"dropped\"");
    };
    for (int waited = 0; answered() < REQUESTS && waited < 10000; waited += 20) {
        ::usleep(20 * 1000);
        log = slurp(dir.folder / "log");
    }
    stop(*serving);
    EXPECT_EQ(answered(), REQUESTS);
    EXPECT_GT(countOf(log, "\"event\":\"dropped\""), 0);
}

TEST_F(HeadlessProgramTest, ALateControllerIsFoundWithinASecondWhateverTheSpeed) {
    auto serving = start("", {"--quiet", "--speed", "0.01"});
    ::usleep(1500 * 1000);
    ASSERT_TRUE(dir.listen());
    EXPECT_TRUE(dir.accept(5000)) << "the next attempt came a simulated second later";
    stop(*serving);
}

TEST_F(HeadlessProgramTest, TwentyRunsOfTenTrainsLogTheSameBytes) {
    std::string text = "switch 5 curved\n";
    const char* nodes[] = {"A1", "A3", "A5", "A7", "B1", "B3", "C1", "C3", "D1", "D3"};
    for (int i = 0; i < 10; ++i)
        text += "place " + std::to_string(10 + i) + " " + nodes[i] + "\nspeed " +
                std::to_string(10 + i) + " " + std::to_string(5 + i % 10) + "\n";
    text += "at 2s report\nat 7.5s reverse 12\nat 60s end\n";
    std::string first = run(text).out;
    EXPECT_GT(first.size(), 2000u);
    for (int i = 1; i < 20; ++i)
        ASSERT_EQ(run(text).out, first) << "run " << i + 1;
}

// A controller over the socket: drives train 12 and polls reports every
// 20 ms; the sensors it hears, and the time from connection to hang-up.
struct Heard {
    std::vector<int> sensors;
    double seconds = 0;
};

Heard listenToARun(TestController& controller) {
    Heard heard;
    if (!controller.accept(3000))
        return heard;
    auto begin = std::chrono::steady_clock::now();
    controller.send({8, 12});
    for (;;) {
        Bytes report = controller.requestReport(2000);
        if (report.size() < 10)
            break;
        for (int n = 0; n < 80; ++n)
            if (report[n / 8] & (0x80 >> (n % 8)))
                heard.sensors.push_back(n);
        ::usleep(20 * 1000);
    }
    heard.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    return heard;
}

TEST_F(HeadlessProgramTest, ServingAnswersAtOnceWithin24BytesPer10Ms) {
    ASSERT_TRUE(dir.listen());
    auto serving = start("", {"--log", dir.folder / "log"});
    ASSERT_TRUE(dir.accept(3000));
    ::usleep(100 * 1000);
    ASSERT_TRUE(dir.send(Bytes(30, 133)));
    EXPECT_EQ(dir.receive(300, 2000).size(), 300u) << "every request answered";
    ::kill(serving->pid, SIGTERM);
    EXPECT_EQ(finish(*serving).status, 0) << "a signal ends serving as a success";
    // (time, reports) per time in the log: 24 in one step, 6 in the next.
    std::string log = slurp(dir.folder / "log");
    std::vector<std::pair<int, int>> perTime;
    std::regex report(R"re(\{"t":(\d+),"event":"report")re");
    for (std::sregex_iterator it(log.begin(), log.end(), report), none; it != none; ++it) {
        int t = std::stoi((*it)[1]);
        if (perTime.empty() || perTime.back().first != t)
            perTime.emplace_back(t, 0);
        ++perTime.back().second;
    }
    ASSERT_EQ(perTime.size(), 2u) << log;
    EXPECT_EQ(perTime[0].second, 24);
    EXPECT_EQ(perTime[1], std::make_pair(perTime[0].first + 10, 6));
}

TEST_F(HeadlessProgramTest, ARealControllerHearsTheScenarioOrderInTheRunsTime) {
    ASSERT_TRUE(dir.listen());
    const char* text = "place 12 A1\nspeed 12 0 # stands aside for the controller\nat 14s end\n";
    auto tenfold = start(text, {"--scenario", scenario(), "--connect", "--speed", "10", "--quiet"});
    Heard fast = listenToARun(dir);
    EXPECT_EQ(finish(*tenfold).status, 0);
    // A1 reads as triggered while the train stands on it; then the route.
    std::vector<int> expected{0, 44, 70, 54, 73, 76, 60, 17}; // A1 C13 E7 D7 E10 E13 D13 B2
    EXPECT_EQ(fast.sensors, expected);
    EXPECT_NEAR(fast.seconds, 1.4, 0.14);

    auto realTime =
        start("place 12 A1\nat 1.4s end\n", {"--scenario", scenario(), "--connect", "--quiet"});
    Heard slow = listenToARun(dir);
    EXPECT_EQ(finish(*realTime).status, 0);
    EXPECT_NEAR(slow.seconds / fast.seconds, 1.0, 0.1) << "ten times the simulated time, same time";
}

} // namespace
} // namespace quillon::testing
