// The built program as its own process, offscreen, against a listening
// socket: bytes in, reports out, and a clean end.
#include "backends/posix/TestController.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>
#include <thread>

namespace quillon {
namespace {

using testing::Bytes;

// Killed at the end of the test if still there.
struct Child {
    pid_t pid;
    ~Child() {
        if (pid > 0 && ::kill(pid, SIGKILL) == 0)
            ::waitpid(pid, nullptr, 0);
    }
};

// The program, offscreen, with the controller's socket and the option given.
pid_t startProgram(const testing::TestController& controller, const char* option) {
    pid_t pid = ::fork();
    if (pid == 0) {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        ::setenv("QUILLON_PIPE", controller.path.c_str(), 1);
        ::execl(QUILLON_PROGRAM, QUILLON_PROGRAM, option, static_cast<char*>(nullptr));
        ::_exit(127);
    }
    return pid;
}

TEST(EndToEndTest, ServesReportsAndSwitchCommandsThenEndsCleanly) {
    testing::TestController controller;
    ASSERT_TRUE(controller.listen());
    Child program{startProgram(controller, nullptr)};
    ASSERT_TRUE(controller.accept(15000)) << "the program connects at start";
    const Bytes noSensors(10, 0);
    EXPECT_EQ(controller.requestReport(5000), noSensors);
    // Switches straight and curved, solenoid off, the high switch numbers,
    // and bytes that are accepted and ignored.
    ASSERT_TRUE(controller.send({33, 1, 34, 2, 32, 34, 153, 33, 156, 96, 97, 32}));
    EXPECT_EQ(controller.requestReport(5000), noSensors);
    ASSERT_TRUE(controller.send({133, 133, 133}));
    EXPECT_EQ(controller.receive(30, 5000).size(), 30u) << "a report for every request";

    // SIGTERM ends the program as Close does.
    int status = 0;
    ::kill(program.pid, SIGTERM);
    for (int i = 0; i < 1000 && program.pid > 0; ++i) {
        if (::waitpid(program.pid, &status, WNOHANG) == program.pid)
            program.pid = 0;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_EQ(program.pid, 0) << "the program ends within 10 s";
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

// A controller set up for three sensor modules, then one, keeps its framing.
TEST(EndToEndTest, TheFullSetAnswersModuleRequests) {
    testing::TestController controller;
    ASSERT_TRUE(controller.listen());
    Child program{startProgram(controller, "--commands=full")};
    ASSERT_TRUE(controller.accept(15000));
    ASSERT_TRUE(controller.send({131}));
    EXPECT_EQ(controller.receive(6, 5000).size(), 6u) << "modules 1 to 3";
    ASSERT_TRUE(controller.send({194}));
    EXPECT_EQ(controller.receive(2, 5000).size(), 2u) << "module 2";
    EXPECT_EQ(controller.requestReport(5000).size(), 10u);
    EXPECT_TRUE(controller.receive(1, 300).empty()) << "nothing more than was asked for";
}

TEST(EndToEndTest, AnUnknownOptionEndsWithUsage) {
    testing::TestController controller;
    Child program{startProgram(controller, "--bogus")};
    int status = 0;
    ASSERT_EQ(::waitpid(program.pid, &status, 0), program.pid);
    program.pid = 0;
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2) << status;
}

} // namespace
} // namespace quillon
