// quillon-ctl as its own process over real sockets: serve driving the
// headless program, the tap between two ends played by the test, and the
// errors of bad statements and options.
#include "backends/posix/ControllerSocket.h"
#include "backends/posix/TestProcess.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <ostream>
#include <random>
#include <sstream>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

namespace quillon {
namespace {

using Bytes = std::vector<std::uint8_t>;
using testing::Folder;
using testing::slurp;
using Process = testing::TestProcess;

// Connects to path as Quillon would, retrying until it listens.
int connectAsQuillon(const std::string& path, int timeoutMs) {
    for (int waited = 0; waited < timeoutMs; waited += 20) {
        const int fd = connectToSocket(path.c_str());
        if (fd >= 0)
            return fd;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return -1;
}

// The first line of a text.
std::string firstLine(const std::string& text) {
    return text.substr(0, text.find('\n'));
}

TEST(QuillonCtlTest, ServeDrivesAPlacedTrainPastTheRoutesSensorsInOrder) {
    Folder folder;
    const std::string socket = folder / "track";
    Process serve(folder, "serve", {QUILLON_CTL, "serve", "--socket", socket},
                  "speed 12 8\nwatch 50ms for 4\nquit\n");
    // The headless program at four times the clock: the route's 14 s in 3.5 s.
    Process quillon(
        folder, "quillon",
        {QUILLON_HEADLESS, "--socket", socket, "--place", "12:A1", "--speed", "4", "--quiet"});
    ASSERT_EQ(serve.exitStatus(60000), 0) << slurp(serve.err);
    std::istringstream lines(slurp(serve.out));
    std::vector<std::string> passed;
    double seconds = 0;
    for (std::string name; lines >> seconds >> name;) {
        if (passed.empty() || passed.back() != name)
            passed.push_back(name);
    }
    const std::vector<std::string> route = {"C13", "E7", "D7", "E10", "E13", "D13", "B2"};
    auto first = std::find(passed.begin(), passed.end(), route[0]);
    ASSERT_GE(passed.end() - first, 7) << slurp(serve.out);
    EXPECT_EQ(std::vector<std::string>(first, first + 7), route);
}

// serve reading input, with Quillon's end played by the test.
struct Serving {
    explicit Serving(const std::string& input, std::vector<std::string> options = {})
        : serve(folder, "serve", withSocket(std::move(options)), input),
          quillon(connectAsQuillon(folder / "track", 5000)) {}
    ~Serving() { ::close(quillon); }
    std::vector<std::string> withSocket(std::vector<std::string> options) const {
        options.insert(options.begin(), {QUILLON_CTL, "serve", "--socket", folder / "track"});
        return options;
    }
    Folder folder;
    Process serve;
    int quillon;
};

TEST(QuillonCtlTest, ServeEndsWithOneWhenQuillonGoesAway) {
    Serving serving("wait 30\n");
    ASSERT_GE(serving.quillon, 0);
    ::close(std::exchange(serving.quillon, -1));
    EXPECT_EQ(serving.serve.exitStatus(10000), 1);
}

TEST(QuillonCtlTest, ABadStatementInAScriptEndsTheRunWithTwo) {
    std::string tooManyBytes = "send";
    for (int k = 0; k < 65; ++k)
        tooManyBytes += " 133";
    struct Row {
        std::string input, line;
    } rows[] = {
        {"go\n" + tooManyBytes, "line 2: usage: send BYTE ... (1 to 64 bytes)"},
        {std::string(1 << 20, '\0'), "line 1: line too long: at most 511 characters"},
    };
    for (const Row& row : rows) {
        Serving serving(row.input);
        ASSERT_EQ(serving.serve.exitStatus(10000), 2) << row.line;
        const std::string err = slurp(serving.serve.err);
        EXPECT_NE(err.find("\n" + row.line + "\n"), std::string::npos) << err;
    }
}

struct BadCall {
    std::vector<std::string> arguments;
    const char* firstLine;
};

void PrintTo(const BadCall& row, std::ostream* out) {
    *out << row.firstLine;
}

class QuillonCtlUsageTest : public ::testing::TestWithParam<BadCall> {};

TEST_P(QuillonCtlUsageTest, SaysWhatIsWrongAndEndsWithTwo) {
    Folder folder;
    std::vector<std::string> arguments = {QUILLON_CTL};
    arguments.insert(arguments.end(), GetParam().arguments.begin(), GetParam().arguments.end());
    Process ctl(folder, "ctl", arguments);
    EXPECT_EQ(ctl.exitStatus(5000), 2);
    EXPECT_EQ(firstLine(slurp(ctl.err)), GetParam().firstLine);
}

INSTANTIATE_TEST_SUITE_P(
    QuillonCtl, QuillonCtlUsageTest,
    ::testing::Values(
        BadCall{{}, "quillon-ctl: a command is needed"},
        BadCall{{"drive"}, "quillon-ctl: unknown command 'drive'"},
        BadCall{{"serve", "--fast"}, "quillon-ctl: serve: unknown option '--fast'"},
        BadCall{{"tap", "--listen", "a"},
                "quillon-ctl: tap needs --listen PATH and --connect PATH"},
        BadCall{{"demo", "--place", "12:Q1"}, "quillon-ctl: demo: unknown node 'Q1' on layout A"},
        BadCall{{"serve", "--socket"}, "quillon-ctl: serve: --socket needs a value"},
        BadCall{{"serve", "--socket", "/tmp/" + std::string(120, 'x')},
                "quillon-ctl: serve: --socket path is too long: at most 107 characters"},
        BadCall{{"check"}, "quillon-ctl: check: a layout file is needed"},
        BadCall{{"serve", "--commands", "fast"},
                "quillon-ctl: serve: --commands must be basic or full, not 'fast'"}));

// check: mistakes end it with 2; warnings end it with 0, or 1 under --strict.
struct CheckCall {
    const char* text;
    bool strict;
    int status;
    const char* firstError; // after "FILE:"
};

TEST(QuillonCtlTest, CheckSaysWhatItFindsAndEndsWithItsStatus) {
    const CheckCall rows[] = {
        {"sensor S1 at 0 0 id 0\n    ahead S9 10\n", false, 2, "2:11: unknown node 'S9'"},
        {"stop E1 at 0 0 ahead E2 10\nstop E2 at 10 0\n", false, 0,
         "1:1: warning: edge E1 ahead -> E2 has no edge back from E2"},
        {"stop E1 at 0 0 ahead E2 10\nstop E2 at 10 0\n", true, 1,
         "1:1: error: edge E1 ahead -> E2 has no edge back from E2"},
    };
    for (const CheckCall& row : rows) {
        Folder folder;
        const std::string file = folder / "a.layout";
        std::ofstream(file) << row.text;
        std::vector<std::string> arguments = {QUILLON_CTL, "check", file};
        if (row.strict)
            arguments.insert(arguments.begin() + 2, "--strict");
        Process ctl(folder, "check", arguments);
        EXPECT_EQ(ctl.exitStatus(5000), row.status) << row.firstError;
        EXPECT_EQ(firstLine(slurp(ctl.err)), file + ":" + row.firstError);
    }
}

// Quillon's end of serve's link, played by the test: answers each request
// it reads with the bytes given for it (none: no answer).
void answerAsQuillon(int quillon, const std::vector<Bytes>& answers) {
    for (const Bytes& answer : answers) {
        std::uint8_t request = 0;
        if (::recv(quillon, &request, 1, 0) != 1)
            return;
        if (!answer.empty())
            ::send(quillon, answer.data(), answer.size(), MSG_NOSIGNAL);
    }
}

TEST(QuillonCtlTest, ServeFramesRawBytesByTheFullCommandSet) {
    Serving serving("send 195\nreport\nquit\n", {"--commands", "full"});
    answerAsQuillon(serving.quillon, {{0x00, 0x08}, {0, 0, 0, 0, 0, 0x08, 0, 0, 0, 0}});
    ASSERT_EQ(serving.serve.exitStatus(10000), 0) << slurp(serving.serve.err);
    const std::string out = slurp(serving.serve.out);
    EXPECT_NE(out.find("< 00 08  report module 3 C13\n"), std::string::npos) << out;
    EXPECT_NE(out.find("\nC13 (44)\n"), std::string::npos) << out;
}

TEST(QuillonCtlTest, ServeSaysAnAnswerDidNotComeAndGoesOn) {
    Serving serving("send 133\nreport\nquit\n");
    answerAsQuillon(serving.quillon, {{}, {0, 0, 0, 0, 0, 0x08, 0, 0, 0, 0}});
    EXPECT_EQ(serving.serve.exitStatus(20000), 0);
    const std::string err = slurp(serving.serve.err);
    EXPECT_NE(err.find("quillon-ctl: no answer: 0 of 10 answer bytes came"), std::string::npos)
        << err;
}

// Writes bytes to fd in pieces of random size, as a busy peer would.
void writeAll(int fd, const Bytes& bytes) {
    std::mt19937 random(7);
    for (std::size_t sent = 0; sent < bytes.size();) {
        const std::size_t piece = std::min<std::size_t>(1 + random() % 4096, bytes.size() - sent);
        const ssize_t n = ::send(fd, bytes.data() + sent, piece, MSG_NOSIGNAL);
        if (n <= 0)
            return;
        sent += static_cast<std::size_t>(n);
    }
}

Bytes readAll(int fd, std::size_t count) {
    Bytes bytes(count);
    std::size_t got = 0;
    for (ssize_t n = 1; got < count && n > 0; got += static_cast<std::size_t>(n))
        n = std::max<ssize_t>(0, ::recv(fd, bytes.data() + got, count - got, 0));
    bytes.resize(got);
    return bytes;
}

Bytes randomBytes(std::size_t count, unsigned seed) {
    std::mt19937 random(seed);
    Bytes bytes(count);
    for (std::uint8_t& byte : bytes)
        byte = static_cast<std::uint8_t>(random());
    return bytes;
}

// The test plays both ends: Quillon connecting to the tap, and the
// controller the tap connects on to.
class TapTest : public ::testing::Test {
protected:
    void SetUp() override {
        char error[SOCKET_ERROR_CAPACITY];
        listener = listenForSimulator((folder / "controller").c_str(), error);
        ASSERT_GE(listener, 0) << error;
        connectBoth();
    }
    void TearDown() override {
        ::close(quillon);
        ::close(controller);
        ::close(listener);
    }
    // Quillon's end and the controller's, connected through the tap.
    void connectBoth() {
        quillon = connectAsQuillon(folder / "quillon", 5000);
        controller = acceptConnection(listener, 5000);
        ASSERT_GE(controller, 0);
    }

    Folder folder;
    int listener = -1, quillon = -1, controller = -1;
    Process tap{folder,
                "tap",
                {QUILLON_CTL, "tap", "--listen", folder / "quillon", "--connect",
                 folder / "controller", "--log", folder / "log"}};
};

TEST_F(TapTest, ForwardsAMillionRandomBytesEachWayUnchangedWhileLogging) {
    const Bytes down = randomBytes(1000000, 1), up = randomBytes(1000000, 2);
    Bytes gotDown, gotUp;
    std::thread reader([&] { gotDown = readAll(quillon, down.size()); });
    std::thread upWriter([&] { writeAll(quillon, up); });
    std::thread downWriter([&] { writeAll(controller, down); });
    gotUp = readAll(controller, up.size());
    downWriter.join();
    upWriter.join();
    reader.join();
    EXPECT_TRUE(gotDown == down) << "controller to Quillon: " << gotDown.size() << " bytes";
    EXPECT_TRUE(gotUp == up) << "Quillon to controller: " << gotUp.size() << " bytes";
    EXPECT_GT(slurp(folder / "log").size(), down.size()) << "every byte logged";
}

TEST_F(TapTest, LogsACommandAndItsAnswerDecoded) {
    writeAll(controller, {8, 12, 133});
    ASSERT_EQ(readAll(quillon, 3).size(), 3u);
    writeAll(quillon, {0, 0, 0, 0, 0, 0x08, 0, 0, 0, 0});
    ASSERT_EQ(readAll(controller, 10).size(), 10u);
    // The tap logs a line just after passing its bytes on.
    std::vector<std::string> lines;
    for (int waited = 0; lines.size() < 3 && waited < 5000; waited += 20) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        std::istringstream log(slurp(folder / "log"));
        lines.clear();
        for (std::string line; std::getline(log, line);)
            lines.push_back(line.substr(line.find(' ') + 1));
    }
    EXPECT_EQ(lines, (std::vector<std::string>{"> 08 0c  speed train 12 step 8", "> 85  report",
                                               "< 00 00 00 00 00 08 00 00 00 00  report C13"}));
}

TEST_F(TapTest, WhenOneSideLeavesTheOtherIsClosedAndBothAreAwaitedAgain) {
    ::close(quillon);
    EXPECT_TRUE(readAll(controller, 1).empty()) << "the controller's end is closed";
    ::close(controller);
    connectBoth();
    writeAll(quillon, {1});
    EXPECT_EQ(readAll(controller, 1), Bytes{1});
}

TEST(QuillonCtlTapTest, ATapThatCannotListenLeavesItsLogFileAlone) {
    Folder folder;
    char error[SOCKET_ERROR_CAPACITY];
    const int live = listenForSimulator((folder / "quillon").c_str(), error);
    ASSERT_GE(live, 0) << error;
    std::ofstream(folder / "log") << "keep";
    Process tap(folder, "tap",
                {QUILLON_CTL, "tap", "--listen", folder / "quillon", "--connect",
                 folder / "controller", "--log", folder / "log"});
    EXPECT_EQ(tap.exitStatus(5000), 1);
    EXPECT_EQ(slurp(folder / "log"), "keep");
    ::close(live);
}

// CPU time a process has used, in clock ticks.
long cpuTicks(pid_t pid) {
    std::istringstream stat(slurp("/proc/" + std::to_string(pid) + "/stat"));
    std::string field;
    long user = 0, system = 0;
    for (int k = 1; k <= 15 && stat >> field; ++k) {
        if (k == 14)
            user = std::stol(field);
        if (k == 15)
            system = std::stol(field);
    }
    return user + system;
}

TEST(QuillonCtlTapTest, WaitsForTheControllerWithoutSpinningOnQuillonsBytes) {
    Folder folder;
    Process tap(folder, "tap",
                {QUILLON_CTL, "tap", "--listen", folder / "quillon", "--connect",
                 folder / "controller", "--log", folder / "log"});
    const int quillon = connectAsQuillon(folder / "quillon", 5000);
    ASSERT_GE(quillon, 0);
    writeAll(quillon, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    const long before = cpuTicks(tap.pid);
    std::this_thread::sleep_for(std::chrono::seconds(1));
    EXPECT_LT(cpuTicks(tap.pid) - before, ::sysconf(_SC_CLK_TCK) / 4);
    ::close(quillon);
}

TEST(QuillonCtlTapTest, ForwardingOutlivesTheReaderOfItsLog) {
    Folder folder;
    char error[SOCKET_ERROR_CAPACITY];
    const int listener = listenForSimulator((folder / "controller").c_str(), error);
    ASSERT_GE(listener, 0) << error;
    Process tap(folder, "tap",
                {"/bin/sh", "-c",
                 std::string(QUILLON_CTL) + " tap --listen " + folder / "quillon" + " --connect " +
                     folder / "controller" + " | head -c 1 >/dev/null"});
    const int quillon = connectAsQuillon(folder / "quillon", 5000);
    const int controller = acceptConnection(listener, 5000);
    ASSERT_GE(controller, 0);
    int passed = 0;
    for (int k = 0; k < 20; ++k) {
        writeAll(controller, {8, 12});
        passed += readAll(quillon, 2) == Bytes{8, 12} ? 1 : 0;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_EQ(passed, 20);
    ::close(quillon);
    ::close(controller);
    ::close(listener);
}

} // namespace
} // namespace quillon
