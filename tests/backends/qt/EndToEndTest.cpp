// The built program as its own process, offscreen, against a listening
// socket: reports out, module requests answered, and a clean end; and its
// snapshot of a layout file.
#include "backends/posix/TestController.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <string>
#include <vector>

namespace quillon {
namespace {

using testing::TestController;
using testing::TestProcess;

// The program, offscreen, with its own controller's socket and the option
// given.
struct Program {
    explicit Program(const char* option) {
        controller.listen(); // a failure shows as no connection
        ::setenv("QUILLON_PIPE", controller.path.c_str(), 1);
        std::vector<std::string> arguments{QUILLON_PROGRAM};
        if (option != nullptr)
            arguments.push_back(option);
        process = std::make_unique<TestProcess>(controller.folder, "quillon", arguments);
    }
    TestController controller;
    std::unique_ptr<TestProcess> process;
};

TEST(EndToEndTest, ServesReportsThenEndsCleanlyOnSigterm) {
    Program program(nullptr);
    ASSERT_TRUE(program.controller.accept(15000)) << "the program connects at start";
    EXPECT_EQ(program.controller.requestReport(5000), testing::Bytes(10, 0));
    ::kill(program.process->pid, SIGTERM);
    EXPECT_EQ(program.process->exitStatus(), 0);
}

// A controller set up for three sensor modules, then one, keeps its framing.
TEST(EndToEndTest, TheFullSetAnswersModuleRequests) {
    Program program("--commands=full");
    ASSERT_TRUE(program.controller.accept(15000));
    ASSERT_TRUE(program.controller.send({131}));
    EXPECT_EQ(program.controller.receive(6, 5000).size(), 6u) << "modules 1 to 3";
    ASSERT_TRUE(program.controller.send({194}));
    EXPECT_EQ(program.controller.receive(2, 5000).size(), 2u) << "module 2";
    EXPECT_EQ(program.controller.requestReport(5000).size(), 10u);
    EXPECT_TRUE(program.controller.receive(1, 300).empty()) << "nothing more than was asked for";
}

TEST(EndToEndTest, AnUnknownOptionEndsWithUsage) {
    Program program("--bogus");
    EXPECT_EQ(program.process->exitStatus(), 2);
}

TEST(EndToEndTest, ASocketPathTooLongForAnAddressEndsWithUsage) {
    const std::string option = "--socket=/tmp/" + std::string(120, 'x');
    Program program(option.c_str());
    EXPECT_EQ(program.process->exitStatus(), 2);
}

// Two stops joined both ways: the smallest layout file.
constexpr const char* TWO_STOPS =
    "track 2\n0 X1 stop 0 0 0 1\n  1 ahead 10\n1 X2 stop 0 90 40 1\n  0 ahead 10\n";

// The exit status of the program making a snapshot of a file holding text.
int snapshot(const testing::Folder& folder, const std::string& text,
             std::vector<std::string> extra) {
    std::ofstream(folder / "two.layout") << text;
    std::vector<std::string> arguments{QUILLON_PROGRAM, "--layout", folder / "two.layout",
                                       "--snapshot", folder / "out.png"};
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    return TestProcess(folder, "snapshot", arguments).exitStatus();
}

// The width and height a PNG file's header gives.
std::pair<int, int> pngSize(const std::string& bytes) {
    auto word = [&](std::size_t at) {
        int value = 0;
        for (std::size_t k = at; k < at + 4 && k < bytes.size(); ++k)
            value = value << 8 | static_cast<unsigned char>(bytes[k]);
        return value;
    };
    return {word(16), word(20)};
}

TEST(EndToEndTest, ASnapshotIsAPngOfTheSizeAsked) {
    testing::Folder folder;
    ASSERT_EQ(snapshot(folder, TWO_STOPS, {"--size", "300x200"}), 0);
    EXPECT_EQ(pngSize(testing::slurp(folder / "out.png")), std::make_pair(300, 200));
}

TEST(EndToEndTest, ASnapshotOfAFileThatDoesNotLoadEndsWithTwoAndWritesNothing) {
    testing::Folder folder;
    EXPECT_EQ(snapshot(folder, "track 2\n", {}), 2);
    EXPECT_FALSE(std::ifstream(folder / "out.png").good());
}

} // namespace
} // namespace quillon
