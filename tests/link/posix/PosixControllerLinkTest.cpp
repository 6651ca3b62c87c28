#include "link/posix/PosixControllerLink.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace quillon {
namespace {

// A listening socket in a fresh directory, playing the controlling program.
class Listener {
  public:
    Listener() {
        char pattern[] = "/tmp/quillon-link-XXXXXX";
        dir = ::mkdtemp(pattern);
        path = dir + "/track";
    }
    ~Listener() {
        closePeer();
        stopListening();
        ::unlink(path.c_str());
        ::rmdir(dir.c_str());
    }

    void listen() {
        fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strcpy(address.sun_path, path.c_str());
        ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        ASSERT_EQ(::listen(fd, 4), 0);
    }
    void stopListening() {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
    void accept() { peer = ::accept(fd, nullptr, nullptr); }
    void send(const std::vector<std::uint8_t>& bytes) {
        ASSERT_EQ(::send(peer, bytes.data(), bytes.size(), MSG_NOSIGNAL),
                  static_cast<ssize_t>(bytes.size()));
    }
    std::vector<std::uint8_t> receive(std::size_t count) {
        std::vector<std::uint8_t> bytes(count);
        std::size_t got = 0;
        while (got < count) {
            ssize_t n = ::recv(peer, bytes.data() + got, count - got, 0);
            if (n <= 0)
                break;
            got += static_cast<std::size_t>(n);
        }
        bytes.resize(got);
        return bytes;
    }
    void closePeer() {
        if (peer >= 0)
            ::close(peer);
        peer = -1;
    }

    std::string dir, path;
    int fd = -1;
    int peer = -1;
};

int openDescriptors() {
    int count = 0;
    DIR* fds = ::opendir("/proc/self/fd");
    while (::readdir(fds) != nullptr)
        ++count;
    ::closedir(fds);
    return count;
}

TEST(PosixControllerLinkTest, WithoutAServerEveryOperationFailsAtOnce) {
    Listener server; // the path exists in no form
    Listener stale;  // a socket file whose listener has gone
    stale.listen();
    stale.stopListening();

    for (const std::string& path : {server.path, stale.path, std::string(200, 'x')}) {
        PosixControllerLink link(path.c_str());
        auto start = std::chrono::steady_clock::now();
        EXPECT_FALSE(link.connect()) << path;
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
        EXPECT_FALSE(link.isConnected());
        std::uint8_t buffer[25] = {0xAA};
        EXPECT_EQ(link.read(buffer, 24), 0);
        EXPECT_EQ(buffer[0], 0xAA) << "nothing is stored when nothing was read";
        EXPECT_EQ(link.write(buffer, 10), -1);
        EXPECT_FALSE(link.close());
    }
}

TEST(PosixControllerLinkTest, ReadsWhatWaitsInChunksOfAtMostTheAskedCount) {
    struct Case {
        int sent;
        int maxCount;
        std::vector<int> reads; // results of successive reads
    };
    const Case cases[] = {
        {30, 24, {24, 6, 0}},       {3, 24, {3, 0}}, {24, 24, {24, 0}}, {0, 24, {0, 0}},
        {5, 1, {1, 1, 1, 1, 1, 0}},
    };
    for (const Case& c : cases) {
        Listener server;
        server.listen();
        PosixControllerLink link(server.path.c_str());
        ASSERT_TRUE(link.connect());
        server.accept();
        std::vector<std::uint8_t> sent;
        for (int i = 0; i < c.sent; ++i)
            sent.push_back(static_cast<std::uint8_t>(i * 37 + 1)); // 0x00 and 0xFF-like values too
        if (!sent.empty())
            server.send(sent);

        std::size_t offset = 0;
        for (int expected : c.reads) {
            std::vector<std::uint8_t> buffer(c.maxCount + 1, 0xEE);
            auto start = std::chrono::steady_clock::now();
            int got = link.read(buffer.data(), c.maxCount);
            EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
            ASSERT_EQ(got, expected) << c.sent << " sent, max " << c.maxCount;
            if (got == 0)
                continue;
            EXPECT_EQ(buffer[got], 0) << "a NUL follows the bytes";
            EXPECT_TRUE(std::equal(buffer.begin(), buffer.begin() + got, sent.begin() + offset));
            offset += static_cast<std::size_t>(got);
        }
        EXPECT_TRUE(link.isConnected());
    }
}

TEST(PosixControllerLinkTest, WritesReachThePeerUnchanged) {
    Listener server;
    server.listen();
    PosixControllerLink link(server.path.c_str());
    ASSERT_TRUE(link.connect());
    server.accept();
    const std::vector<std::uint8_t> report = {0x00, 0xFF, 0x80, 0x01, 0x0A,
                                              0x0D, 0x85, 0x00, 0x7F, 0x20};
    EXPECT_EQ(link.write(report.data(), 10), 10);
    EXPECT_EQ(link.write(report.data(), 0), 0);
    EXPECT_EQ(server.receive(10), report);
}

TEST(PosixControllerLinkTest, ClosesOnlyWhatIsOpen) {
    Listener server;
    server.listen();
    PosixControllerLink link(server.path.c_str());
    EXPECT_FALSE(link.close()) << "never connected";
    ASSERT_TRUE(link.connect());
    EXPECT_TRUE(link.close());
    EXPECT_FALSE(link.close()) << "second close";
    EXPECT_FALSE(link.isConnected());
    std::uint8_t byte = 133;
    EXPECT_EQ(link.write(&byte, 1), -1);
}

TEST(PosixControllerLinkTest, NoticesThePeerLeavingAfterItsLastBytesAreRead) {
    Listener server;
    server.listen();
    PosixControllerLink link(server.path.c_str());
    ASSERT_TRUE(link.connect());
    server.accept();
    EXPECT_TRUE(link.isConnected());
    server.send({8, 12});
    server.closePeer();

    EXPECT_TRUE(link.isConnected()) << "bytes sent before leaving are still delivered";
    std::uint8_t buffer[25];
    ASSERT_EQ(link.read(buffer, 24), 2);
    EXPECT_EQ(buffer[1], 12);
    EXPECT_FALSE(link.isConnected());
    EXPECT_EQ(link.read(buffer, 24), 0);
    // Writing to a vanished peer fails instead of raising SIGPIPE.
    EXPECT_EQ(link.write(buffer, 10), -1);

    // The next server at the same path is reached again.
    server.stopListening();
    ::unlink(server.path.c_str());
    server.listen();
    ASSERT_TRUE(link.connect());
    server.accept();
    EXPECT_TRUE(link.isConnected());
    std::uint8_t request = 133;
    EXPECT_EQ(link.write(&request, 1), 1);
    EXPECT_EQ(server.receive(1), std::vector<std::uint8_t>{133});
}

TEST(PosixControllerLinkTest, ReconnectingReleasesTheSocketItReplaces) {
    Listener server;
    server.listen();
    PosixControllerLink link(server.path.c_str());
    ASSERT_TRUE(link.connect());
    server.accept();
    server.closePeer();
    int before = openDescriptors();
    for (int i = 0; i < 50; ++i) {
        ASSERT_TRUE(link.connect());
        server.accept();
        server.closePeer();
    }
    EXPECT_EQ(openDescriptors(), before);
}

TEST(PosixControllerLinkTest, RefusesAServerOfAnotherUser) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can run a listener as another user here";
    Listener server;
    ASSERT_EQ(::chmod(server.dir.c_str(), 0777), 0);
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    pid_t child = ::fork();
    if (child == 0) {
        // The listener's credentials are those of the process that listens.
        if (::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(2);
        server.listen();
        char go = 1;
        if (::write(ready[1], &go, 1) != 1)
            ::_exit(3);
        ::alarm(10);
        server.accept();
        char end;
        ssize_t ignored = ::read(ready[0], &end, 1); // until the parent is done
        (void)ignored;
        ::_exit(0);
    }
    char go = 0;
    ASSERT_EQ(::read(ready[0], &go, 1), 1);
    PosixControllerLink link(server.path.c_str());
    EXPECT_FALSE(link.connect());
    EXPECT_FALSE(link.isConnected());
    EXPECT_FALSE(link.close());
    ::close(ready[1]);
    ::close(ready[0]);
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
}

TEST(PosixControllerLinkTest, SocketPathComesFromTheEnvironment) {
    struct Case {
        const char* quillonPipe; // nullptr: unset
        const char* runtimeDir;
        const char* expected;
    };
    const Case cases[] = {
        {"/x/ctl", "/run/user/1000", "/x/ctl"},
        {nullptr, "/run/user/1000", "/run/user/1000/track"},
        {"", "/run/user/1000", "/run/user/1000/track"},
        {nullptr, nullptr, "/tmp/track"},
        {nullptr, "", "/tmp/track"},
    };
    std::string savedPipe = std::getenv("QUILLON_PIPE") ? std::getenv("QUILLON_PIPE") : "";
    std::string savedRuntime = std::getenv("XDG_RUNTIME_DIR") ? std::getenv("XDG_RUNTIME_DIR") : "";
    bool hadPipe = std::getenv("QUILLON_PIPE") != nullptr;
    bool hadRuntime = std::getenv("XDG_RUNTIME_DIR") != nullptr;
    auto set = [](const char* name, const char* value) {
        if (value == nullptr)
            ::unsetenv(name);
        else
            ::setenv(name, value, 1);
    };
    for (const Case& c : cases) {
        set("QUILLON_PIPE", c.quillonPipe);
        set("XDG_RUNTIME_DIR", c.runtimeDir);
        EXPECT_EQ(controllerSocketPath(), c.expected);
    }
    set("QUILLON_PIPE", hadPipe ? savedPipe.c_str() : nullptr);
    set("XDG_RUNTIME_DIR", hadRuntime ? savedRuntime.c_str() : nullptr);
}

} // namespace
} // namespace quillon
