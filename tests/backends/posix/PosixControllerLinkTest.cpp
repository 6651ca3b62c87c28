#include "backends/posix/PosixControllerLink.h"

#include "backends/posix/TestController.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <numeric>
#include <sys/stat.h>

namespace quillon {
namespace {

using testing::Bytes;
using testing::TestController;

// A controller listening, and a link connected to it that it has accepted.
class PosixControllerLinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.listen());
        ASSERT_TRUE(link.connect());
        ASSERT_TRUE(server.accept(1000));
    }
    TestController server;
    PosixControllerLink link{server.path.c_str()};
    std::uint8_t buffer[25] = {};
};

// A refusal is one line on standard error however often the link tries.
void expectRefusedOnce(const std::string& path, const std::string& why) {
    PosixControllerLink link(path.c_str());
    ::testing::internal::CaptureStderr();
    for (int attempt = 0; attempt < 3; ++attempt)
        EXPECT_FALSE(link.connect());
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "quillon: not connecting to " + path + ": " + why + "\n");
}

// Its framing lost, the stream counts as broken.
TEST_F(PosixControllerLinkTest, AWriteCutShortGivesUpAfterABoundedWait) {
    Bytes big(4 << 20, 133);
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(link.write(big.data(), static_cast<int>(big.size())), -1);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_FALSE(link.isConnected());
}

TEST_F(PosixControllerLinkTest, DeliversWhatADepartedPeerSentWhileItIsRead) {
    Bytes sent(30);
    std::iota(sent.begin(), sent.end(), 1);
    ASSERT_TRUE(server.send(sent));
    server.hangUp();
    ASSERT_EQ(link.read(buffer, 24), 24);
    EXPECT_TRUE(std::equal(buffer, buffer + 24, sent.begin()));
    EXPECT_TRUE(link.isConnected()) << "6 bytes still wait and the reader is reading";
    ASSERT_EQ(link.read(buffer, 24), 6);
    EXPECT_EQ(buffer[6], 0) << "a NUL follows the bytes";
    EXPECT_FALSE(link.isConnected()) << "all read: the peer is gone";
}

TEST_F(PosixControllerLinkTest, LetsGoOfADepartedPeerWhoseBytesNobodyReads) {
    ASSERT_TRUE(server.send({8, 12}));
    server.hangUp();
    EXPECT_FALSE(link.isConnected()) << "a hidden window never reads them";
}

TEST_F(PosixControllerLinkTest, AnswersAPeerThatOnlyShutItsSendingSide) {
    ASSERT_TRUE(server.send({133}));
    server.shutSending();
    EXPECT_TRUE(link.isConnected());
    ASSERT_EQ(link.read(buffer, 24), 1);
    ASSERT_EQ(link.write(buffer, 10), 10);
    EXPECT_EQ(server.receive(10, 1000).size(), 10u);
}

TEST_F(PosixControllerLinkTest, AWriteToADepartedPeerFailsInsteadOfRaisingSigpipe) {
    server.hangUp();
    EXPECT_EQ(link.write(buffer, 10), -1);
}

TEST_F(PosixControllerLinkTest, ReconnectingReleasesTheSocketItReplaces) {
    auto fds = [] {
        return std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {});
    };
    auto before = fds();
    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(link.connect());
        ASSERT_TRUE(server.accept(1000)); // hangs up on the previous one
    }
    EXPECT_EQ(fds(), before);
}

TEST_F(PosixControllerLinkTest, RefusesASymbolicLinkToOurOwnSocket) {
    std::string linked = server.dir + "/linked";
    ASSERT_EQ(::symlink(server.path.c_str(), linked.c_str()), 0);
    expectRefusedOnce(linked, "it is a symbolic link");
}

TEST_F(PosixControllerLinkTest, RefusesASocketFileOfAnotherUser) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can give the socket file to another user";
    ASSERT_EQ(::chown(server.path.c_str(), 65534, 65534), 0);
    expectRefusedOnce(server.path, "it belongs to another user");
}

TEST_F(PosixControllerLinkTest, RefusesAListenerOfAnotherUser) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can listen as another user";
    TestController other;
    // A listener's credentials are those it listened with. The socket file
    // is made ours, so that only the listener's credentials tell.
    ASSERT_EQ(::chmod(other.dir.c_str(), 0777), 0);
    ASSERT_EQ(::seteuid(65534), 0);
    bool listening = other.listen();
    ASSERT_EQ(::seteuid(0), 0);
    ASSERT_TRUE(listening);
    ASSERT_EQ(::chown(other.path.c_str(), 0, 0), 0);
    expectRefusedOnce(other.path, "the program listening there runs as another user");
}

TEST_F(PosixControllerLinkTest, RefusesAFileOrAFolderThatIsNoSocket) {
    const std::string file = server.dir + "/file", folder = server.dir + "/folder";
    std::fclose(std::fopen(file.c_str(), "w"));
    ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
    expectRefusedOnce(file, "it is not a socket");
    expectRefusedOnce(folder, "it is a folder, not a socket");
}

TEST_F(PosixControllerLinkTest, RefusesAPathTooLongForASocket) {
    expectRefusedOnce("/tmp/" + std::string(200, 'x'), "the path is too long for a socket");
}

} // namespace
} // namespace quillon
