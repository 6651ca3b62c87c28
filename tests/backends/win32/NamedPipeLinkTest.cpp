#include "backends/win32/NamedPipeLink.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <windows.h>

namespace quillon {
namespace {

// A pipe of this test process, so that parallel test runs never meet.
const std::string PIPE = "\\\\.\\pipe\\quillon-test-" + std::to_string(GetCurrentProcessId());

// The controlling program's end: an instance of a byte-mode pipe of two at
// most, with room for `buffer` bytes each way.
struct PipeServer {
    explicit PipeServer(DWORD buffer = 4096)
        : handle(CreateNamedPipeA(PIPE.c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE | PIPE_WAIT, 2,
                                  buffer, buffer, 0, nullptr)) {}
    ~PipeServer() { CloseHandle(handle); }
    // Completes the connection of a client that has opened the pipe.
    bool accept() {
        return ConnectNamedPipe(handle, nullptr) || GetLastError() == ERROR_PIPE_CONNECTED;
    }
    HANDLE handle;
};

// Milliseconds that a failing connect takes (INFINITE when it succeeds).
DWORD failedConnectMs(NamedPipeLink& link) {
    const DWORD start = GetTickCount();
    return link.connect() ? INFINITE : GetTickCount() - start;
}

TEST(NamedPipeLinkTest, WithoutServerNothingSucceedsAndNothingWaits) {
    NamedPipeLink link(PIPE.c_str());
    EXPECT_LT(failedConnectMs(link), 1000u);
    EXPECT_FALSE(link.isConnected());
    std::uint8_t buffer[25] = {};
    EXPECT_EQ(link.read(buffer, 24), 0);
    EXPECT_EQ(link.write(buffer, 1), -1);
    EXPECT_FALSE(link.close());
}

TEST(NamedPipeLinkTest, ABusyPipeFailsWithinTheBoundedWait) {
    PipeServer server; // the only instance so far
    NamedPipeLink first(PIPE.c_str()), second(PIPE.c_str());
    ASSERT_TRUE(first.connect());
    EXPECT_LT(failedConnectMs(second), 1000u);
}

TEST(NamedPipeLinkTest, ALeavingServerIsNoticed) {
    NamedPipeLink link(PIPE.c_str());
    {
        PipeServer server;
        ASSERT_TRUE(link.connect());
        ASSERT_TRUE(server.accept());
    }
    // The link's handle stays valid; it must not pass for a live connection.
    EXPECT_FALSE(link.isConnected());
}

// A link connected to the server, which has room for `buffer` bytes.
class ConnectedLinkTest : public ::testing::Test {
protected:
    explicit ConnectedLinkTest(DWORD buffer = 4096) : server(buffer) {}
    void SetUp() override {
        ASSERT_TRUE(link.connect());
        ASSERT_TRUE(server.accept());
    }
    PipeServer server;
    NamedPipeLink link{PIPE.c_str()};
    std::uint8_t bytes[30] = {}; // 0 and bytes above 127 among them
    std::uint8_t buffer[25];
};

TEST_F(ConnectedLinkTest, ReadsWhatWaitsInSlicesEachFollowedByANul) {
    for (int i = 0; i < 30; ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 9);
    EXPECT_EQ(link.read(buffer, 24), 0) << "nothing waits yet";
    DWORD count = 0;
    ASSERT_TRUE(WriteFile(server.handle, bytes, 30, &count, nullptr));
    for (int from : {0, 24}) {
        const int expected = from == 0 ? 24 : 6;
        std::memset(buffer, 0xEE, sizeof buffer);
        ASSERT_EQ(link.read(buffer, 24), expected);
        EXPECT_EQ(std::memcmp(buffer, bytes + from, expected), 0);
        EXPECT_EQ(buffer[expected], 0) << "the NUL after the bytes read";
    }
    EXPECT_EQ(link.read(buffer, 24), 0) << "nothing waits any more";
}

TEST_F(ConnectedLinkTest, WritesTheBytesUnchanged) {
    for (int i = 0; i < 24; ++i)
        bytes[i] = static_cast<std::uint8_t>(255 - i * 9);
    EXPECT_EQ(link.write(bytes, 24), 24);
    DWORD count = 0;
    ASSERT_TRUE(ReadFile(server.handle, buffer, 24, &count, nullptr));
    EXPECT_EQ(std::string(buffer, buffer + count), std::string(bytes, bytes + 24));
}

TEST_F(ConnectedLinkTest, IsConnectedUntilClosed) {
    EXPECT_TRUE(link.isConnected());
    link.close();
    EXPECT_FALSE(link.isConnected());
}

TEST_F(ConnectedLinkTest, ClosesOnce) {
    EXPECT_TRUE(link.close());
    EXPECT_FALSE(link.close());
}

// A controller that stopped reading: its pipe's 64-byte buffer fills up.
class StalledControllerTest : public ConnectedLinkTest {
protected:
    StalledControllerTest() : ConnectedLinkTest(64) {}
    // Writes 10-byte reports until one fails; the milliseconds that it took.
    // The writes run on a thread of their own: one that blocks is cancelled
    // after two seconds, so that the test fails instead of hanging.
    DWORD msOfTheWriteThatFails() {
        HANDLE thread = CreateThread(nullptr, 0, writeUntilFailure, this, 0, nullptr);
        if (WaitForSingleObject(thread, 2000) == WAIT_TIMEOUT)
            CancelSynchronousIo(thread);
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
        return failingWriteMs;
    }
    static DWORD WINAPI writeUntilFailure(void* context) {
        auto& test = *static_cast<StalledControllerTest*>(context);
        for (int i = 0; i < 1000 && test.failingWriteMs == INFINITE; ++i) {
            const DWORD start = GetTickCount();
            if (test.link.write(test.bytes, 10) == -1)
                test.failingWriteMs = GetTickCount() - start;
        }
        return 0;
    }
    DWORD failingWriteMs = INFINITE;
};

TEST_F(StalledControllerTest, TheWriteThatFindsNoRoomFailsWithinTheBoundedWait) {
    EXPECT_LT(msOfTheWriteThatFails(), 300u);
}

TEST_F(StalledControllerTest, TheFailedWriteBreaksTheLink) {
    msOfTheWriteThatFails();
    EXPECT_FALSE(link.isConnected());
}

TEST_F(StalledControllerTest, ABrokenLinkConnectsToAFreshInstanceAndWritesAgain) {
    msOfTheWriteThatFails();
    PipeServer fresh;
    ASSERT_TRUE(link.connect());
    ASSERT_TRUE(fresh.accept());
    EXPECT_EQ(link.write(bytes, 10), 10);
}

TEST(RunsAsThisUserTest, AProcessThatCannotBeCheckedCountsAsAnotherUser) {
    EXPECT_FALSE(runsAsThisUser(0x7FFFFFFC)) << "no such process";
}

TEST(RunsAsThisUserTest, AProcessOfAnotherUserIsTold) {
    if (GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr)
        GTEST_SKIP() << "Wine runs every process as the one user: none of another user exists";
    EXPECT_FALSE(runsAsThisUser(4)) << "the System process";
}

} // namespace
} // namespace quillon
