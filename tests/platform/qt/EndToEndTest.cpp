// The built program as its own process, offscreen, against a listening
// socket: bytes in, reports out, and a clean end.
#include "TestController.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>
#include <thread>

namespace quillon {
namespace {

using testing::TestController;

class Program {
  public:
    explicit Program(const std::string& socketPath) {
        pid_ = ::fork();
        if (pid_ != 0)
            return;
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        ::setenv("QUILLON_PIPE", socketPath.c_str(), 1);
        ::execl(QUILLON_PROGRAM, QUILLON_PROGRAM, static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ~Program() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }

    bool running() { return pid_ > 0 && ::waitpid(pid_, &status_, WNOHANG) == 0; }

    // Asks the program to end and waits for it; the exit status, or -1 when
    // it had to be killed.
    int terminate() {
        ::kill(pid_, SIGTERM);
        for (int i = 0; i < 1000; ++i) {
            if (::waitpid(pid_, &status_, WNOHANG) == pid_) {
                pid_ = 0;
                return WIFEXITED(status_) ? WEXITSTATUS(status_) : 128 + WTERMSIG(status_);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return -1;
    }

  private:
    pid_t pid_ = -1;
    int status_ = 0;
};

const std::vector<std::uint8_t> NO_SENSORS(10, 0);

TEST(EndToEndTest, ServesReportsAndSwitchCommandsThenEndsCleanly) {
    TestController controller;
    ASSERT_TRUE(controller.listen());
    Program program(controller.path());
    ASSERT_TRUE(controller.accept(15000)) << "the program connects at start";

    EXPECT_EQ(controller.requestReport(5000), NO_SENSORS);
    // Switches straight and curved, solenoid off, the high switch numbers,
    // and bytes that are accepted and ignored.
    ASSERT_TRUE(controller.send({33, 1, 34, 2, 32, 34, 153, 33, 156, 96, 97, 32}));
    EXPECT_EQ(controller.requestReport(5000), NO_SENSORS);
    // Three requests in one write are answered with three reports in order.
    ASSERT_TRUE(controller.send({133, 133, 133}));
    EXPECT_EQ(controller.receive(30, 5000).size(), 30u);
    for (int i = 0; i < 20; ++i)
        ASSERT_EQ(controller.requestReport(5000).size(), 10u) << "request " << i;

    EXPECT_TRUE(program.running());
    EXPECT_EQ(program.terminate(), 0);
    // The program closed its end on the way out.
    EXPECT_TRUE(controller.receive(1, 2000).empty());
}

TEST(EndToEndTest, FindsALateControllerAndOutlivesIt) {
    TestController controller;
    Program program(controller.path());
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    ASSERT_TRUE(program.running()) << "no controller is no reason to stop";

    ASSERT_TRUE(controller.listen());
    ASSERT_TRUE(controller.accept(3000)) << "retried every second";
    EXPECT_EQ(controller.requestReport(5000), NO_SENSORS);

    controller.hangUp();
    controller.stopListening();
    std::this_thread::sleep_for(std::chrono::milliseconds(1200));
    ASSERT_TRUE(program.running());
    ASSERT_TRUE(controller.listen());
    ASSERT_TRUE(controller.accept(3000)) << "the next controller is found too";
    EXPECT_EQ(controller.requestReport(5000), NO_SENSORS);
    EXPECT_EQ(program.terminate(), 0);
}

} // namespace
} // namespace quillon
