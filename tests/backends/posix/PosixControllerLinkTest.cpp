#include "backends/posix/PosixControllerLink.h"

#include "backends/posix/TestController.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <sys/stat.h>
#include <sys/wait.h>

namespace quillon {
namespace {

using testing::Bytes;
using testing::TestController;

// A link connected to a controller that has accepted it.
class ConnectedLinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.listen());
        ASSERT_TRUE(link.connect());
        ASSERT_TRUE(server.accept(1000));
    }
    TestController server;
    PosixControllerLink link{server.path.c_str()};
    std::uint8_t buffer[25];
};

TEST(PosixControllerLinkTest, WithoutAServerEveryOperationFailsAtOnce) {
    TestController nobody;
    for (const std::string& path : {nobody.path, std::string(200, 'x')}) {
        PosixControllerLink link(path.c_str());
        auto start = std::chrono::steady_clock::now();
        EXPECT_FALSE(link.connect());
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
        EXPECT_FALSE(link.isConnected());
        std::uint8_t buffer[25] = {0xAA};
        EXPECT_EQ(link.read(buffer, 24), 0);
        EXPECT_EQ(buffer[0], 0xAA);
        EXPECT_EQ(link.write(buffer, 10), -1);
        EXPECT_FALSE(link.close());
    }
}

TEST_F(ConnectedLinkTest, ExchangesBytesAndClosesOnce) {
    Bytes sent(30);
    for (int i = 0; i < 30; ++i)
        sent[i] = static_cast<std::uint8_t>(i * 37 + 1);
    ASSERT_TRUE(server.send(sent));
    int offset = 0;
    for (int expected : {24, 6}) {
        std::fill(std::begin(buffer), std::end(buffer), 0xEE);
        ASSERT_EQ(link.read(buffer, 24), expected);
        EXPECT_EQ(buffer[expected], 0) << "a NUL follows the bytes";
        EXPECT_TRUE(std::equal(buffer, buffer + expected, sent.begin() + offset));
        offset += expected;
    }
    EXPECT_EQ(link.read(buffer, 24), 0) << "nothing waits: 0 rather than blocking";

    const Bytes report = {0x00, 0xFF, 0x80, 0x01, 0x0A, 0x0D, 0x85, 0x00, 0x7F, 0x20};
    EXPECT_EQ(link.write(report.data(), 10), 10);
    EXPECT_EQ(server.receive(10, 1000), report);

    EXPECT_TRUE(link.close());
    EXPECT_FALSE(link.close()) << "closed twice";
    EXPECT_FALSE(link.isConnected());
}

TEST_F(ConnectedLinkTest, DeliversWhatADepartedPeerSentWhileItIsRead) {
    ASSERT_TRUE(server.send(Bytes(30, 8)));
    server.hangUp();
    ASSERT_EQ(link.read(buffer, 24), 24);
    EXPECT_TRUE(link.isConnected()) << "6 bytes still wait and the reader is reading";
    EXPECT_EQ(link.read(buffer, 24), 6);
    EXPECT_FALSE(link.isConnected()) << "all read: the peer is gone";
}

TEST_F(ConnectedLinkTest, LetsGoOfADepartedPeerWhoseBytesNobodyReads) {
    ASSERT_TRUE(server.send({8, 12}));
    server.hangUp();
    EXPECT_FALSE(link.isConnected()) << "a hidden window never reads them";
}

TEST_F(ConnectedLinkTest, NoticesThePeerLeavingAndReconnects) {
    server.hangUp();
    EXPECT_FALSE(link.isConnected());

    server.stopListening();
    ASSERT_TRUE(server.listen());
    ASSERT_TRUE(link.connect());
    ASSERT_TRUE(server.accept(1000));
    EXPECT_TRUE(link.isConnected());
    server.hangUp();
    EXPECT_EQ(link.write(buffer, 10), -1) << "fails instead of raising SIGPIPE";
}

TEST_F(ConnectedLinkTest, ReconnectingReleasesTheSocketItReplaces) {
    auto openDescriptors = [] {
        auto fds = std::filesystem::directory_iterator("/proc/self/fd");
        return std::distance(begin(fds), end(fds));
    };
    server.hangUp();
    auto before = openDescriptors();
    for (int i = 0; i < 50; ++i) {
        ASSERT_TRUE(link.connect());
        ASSERT_TRUE(server.accept(1000));
        server.hangUp();
    }
    EXPECT_EQ(openDescriptors(), before);
}

TEST(PosixControllerLinkTest, RefusesAServerOfAnotherUser) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can run a listener as another user here";
    TestController server;
    ASSERT_EQ(::chmod(server.dir.c_str(), 0777), 0);
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    pid_t child = ::fork();
    if (child == 0) {
        // The listener's credentials are those of the process that listens.
        if (::setgid(65534) != 0 || ::setuid(65534) != 0 || !server.listen())
            ::_exit(2);
        char go = 1;
        ssize_t written = ::write(ready[1], &go, 1);
        ::alarm(10);
        ::pause();
        ::_exit(written == 1 ? 0 : 3);
    }
    ::close(ready[1]); // a child that fails ends the read below
    char go = 0;
    ASSERT_EQ(::read(ready[0], &go, 1), 1);
    // The socket file is ours: only the listener's credentials tell.
    ASSERT_EQ(::chown(server.path.c_str(), ::geteuid(), ::getegid()), 0);
    PosixControllerLink link(server.path.c_str());
    EXPECT_FALSE(link.connect());
    EXPECT_FALSE(link.isConnected());
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    ::close(ready[0]);
}

// A socket of the test's own user, reached through a symbolic link or
// owned by another user, is refused with one line on standard error however
// often the link tries.
TEST(PosixControllerLinkTest, RefusesALinkedPathAndSaysItOnce) {
    TestController server;
    ASSERT_TRUE(server.listen());
    std::string linked = server.dir + "/linked";
    ASSERT_EQ(::symlink(server.path.c_str(), linked.c_str()), 0);
    PosixControllerLink link(linked.c_str());
    ::testing::internal::CaptureStderr();
    for (int attempt = 0; attempt < 3; ++attempt)
        EXPECT_FALSE(link.connect());
    std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(said, "quillon: not connecting to " + linked + ": it is a symbolic link\n");
    ::unlink(linked.c_str());
}

TEST(PosixControllerLinkTest, RefusesASocketFileOfAnotherUser) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can give the socket file to another user";
    TestController server;
    ASSERT_TRUE(server.listen());
    ASSERT_EQ(::chown(server.path.c_str(), 65534, 65534), 0);
    PosixControllerLink link(server.path.c_str());
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(link.connect());
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("it belongs to another user"),
              std::string::npos);
}

TEST(PosixControllerLinkTest, SaysAnOverlongPathOnce) {
    std::string path = "/tmp/" + std::string(200, 'x');
    PosixControllerLink link(path.c_str());
    ::testing::internal::CaptureStderr();
    link.connect();
    link.connect();
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "quillon: not connecting to " + path + ": the path is too long for a socket\n");
}

// Nothing else in this program reads these variables: they are not restored.
TEST(PosixControllerLinkTest, SocketPathComesFromTheEnvironment) {
    ::setenv("QUILLON_PIPE", "/x/ctl", 1);
    ::setenv("XDG_RUNTIME_DIR", "/run/user/1000", 1);
    EXPECT_EQ(controllerSocketPath(), "/x/ctl");
    ::setenv("QUILLON_PIPE", "", 1);
    EXPECT_EQ(controllerSocketPath(), "/run/user/1000/track");
    ::unsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(controllerSocketPath(), "/tmp/track");
}

} // namespace
} // namespace quillon
