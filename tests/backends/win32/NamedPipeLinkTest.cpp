#include "backends/win32/NamedPipeLink.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <windows.h>

namespace quillon {
namespace {

// A pipe of this test process, so that parallel test runs never meet.
const std::string PIPE = "\\\\.\\pipe\\quillon-test-" + std::to_string(GetCurrentProcessId());

bool underWine() {
    return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

// The controlling program's end: an instance of a byte-mode pipe that has
// at most `instances`, with room for `buffer` bytes each way.
struct PipeServer {
    explicit PipeServer(DWORD instances = 1, DWORD buffer = 4096)
        : handle(CreateNamedPipeA(PIPE.c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE | PIPE_WAIT,
                                  instances, buffer, buffer, 0, nullptr)) {}
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

// Writes 10-byte reports to a server that never reads until one fails;
// the milliseconds that the failing write took. The writes run on a thread
// of their own: one that blocks is cancelled after two seconds, so that
// the test fails instead of hanging.
DWORD msOfTheWriteThatFails(NamedPipeLink& link) {
    struct Run {
        NamedPipeLink& link;
        DWORD ms = INFINITE;
    } run{link};
    const auto writeUntilFailure = [](void* context) -> DWORD {
        Run& run = *static_cast<Run*>(context);
        const std::uint8_t report[10] = {};
        for (int i = 0; i < 1000 && run.ms == INFINITE; ++i) {
            const DWORD start = GetTickCount();
            if (run.link.write(report, 10) == -1)
                run.ms = GetTickCount() - start;
        }
        return 0;
    };
    HANDLE thread = CreateThread(nullptr, 0, writeUntilFailure, &run, 0, nullptr);
    if (WaitForSingleObject(thread, 2000) == WAIT_TIMEOUT)
        CancelSynchronousIo(thread);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    return run.ms;
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

TEST(NamedPipeLinkTest, ReadsWhatWaitsInSlicesWithoutBlockingAndWritesUnchanged) {
    PipeServer server;
    NamedPipeLink link(PIPE.c_str());
    ASSERT_TRUE(link.connect());
    ASSERT_TRUE(server.accept());
    std::uint8_t buffer[25];
    EXPECT_EQ(link.read(buffer, 24), 0);

    std::uint8_t bytes[30]; // 0 and bytes above 127 among them
    for (int i = 0; i < 30; ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 9);
    DWORD count = 0;
    ASSERT_TRUE(WriteFile(server.handle, bytes, 30, &count, nullptr));
    for (int from : {0, 24}) {
        const int expected = from == 0 ? 24 : 6;
        std::memset(buffer, 0xEE, sizeof buffer);
        ASSERT_EQ(link.read(buffer, 24), expected);
        EXPECT_EQ(std::memcmp(buffer, bytes + from, expected), 0);
        EXPECT_EQ(buffer[expected], 0) << "the NUL after the bytes read";
    }
    EXPECT_EQ(link.read(buffer, 24), 0);

    EXPECT_EQ(link.write(bytes, 24), 24);
    ASSERT_TRUE(ReadFile(server.handle, buffer, 24, &count, nullptr));
    EXPECT_EQ(count, 24u);
    EXPECT_EQ(std::memcmp(buffer, bytes, 24), 0);

    EXPECT_TRUE(link.close());
    EXPECT_FALSE(link.close());
    EXPECT_FALSE(link.isConnected());
}

TEST(NamedPipeLinkTest, BusyPipeFailsWithinTheBoundedWaitAndALeavingServerIsNoticed) {
    NamedPipeLink first(PIPE.c_str()), second(PIPE.c_str());
    {
        PipeServer server;
        ASSERT_TRUE(first.connect());
        ASSERT_TRUE(server.accept());
        EXPECT_LT(failedConnectMs(second), 1000u);
        EXPECT_TRUE(first.isConnected());
    }
    // The handle stays valid after the server has gone; the link must not
    // take it for a live connection.
    EXPECT_FALSE(first.isConnected());
    std::uint8_t buffer[25];
    EXPECT_EQ(first.read(buffer, 24), 0);
}

// A controller that stopped reading: its pipe's 64-byte buffer fills up.
// It leaves room for a second instance.
class StalledControllerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(link.connect());
        ASSERT_TRUE(stalled.accept());
    }
    PipeServer stalled{2, 64};
    NamedPipeLink link{PIPE.c_str()};
};

TEST_F(StalledControllerTest, TheWriteThatFindsNoRoomFailsWithinTheBoundedWait) {
    EXPECT_LT(msOfTheWriteThatFails(link), 300u);
}

TEST_F(StalledControllerTest, TheFailedWriteBreaksTheLink) {
    msOfTheWriteThatFails(link);
    EXPECT_FALSE(link.isConnected());
}

TEST_F(StalledControllerTest, ABrokenLinkConnectsToAFreshInstanceAndWritesAgain) {
    msOfTheWriteThatFails(link);
    PipeServer fresh{2};
    ASSERT_TRUE(link.connect());
    ASSERT_TRUE(fresh.accept());
    const std::uint8_t report[10] = {};
    EXPECT_EQ(link.write(report, 10), 10);
}

TEST(NamedPipeLinkTest, TheServerMayIdentifyTheLinksUserButNotActAsIt) {
    if (underWine())
        GTEST_SKIP() << "Wine grants the server impersonation whatever level the client asked for";
    PipeServer server;
    NamedPipeLink link(PIPE.c_str());
    ASSERT_TRUE(link.connect());
    ASSERT_TRUE(server.accept());
    const std::uint8_t byte = 1;
    ASSERT_EQ(link.write(&byte, 1), 1); // a server impersonates only after a read
    std::uint8_t got = 0;
    DWORD count = 0;
    ASSERT_TRUE(ReadFile(server.handle, &got, 1, &count, nullptr));
    ASSERT_TRUE(ImpersonateNamedPipeClient(server.handle));
    HANDLE token = nullptr;
    SECURITY_IMPERSONATION_LEVEL level = SecurityDelegation;
    if (OpenThreadToken(GetCurrentThread(), TOKEN_QUERY, TRUE, &token)) {
        GetTokenInformation(token, TokenImpersonationLevel, &level, sizeof level, &count);
        CloseHandle(token);
    }
    RevertToSelf();
    EXPECT_EQ(level, SecurityIdentification);
}

TEST(NamedPipeLinkTest, AProcessThatCannotBeCheckedCountsAsAnotherUser) {
    EXPECT_FALSE(runsAsThisUser(0x7FFFFFFC)) << "no such process";
}

TEST(NamedPipeLinkTest, AProcessOfAnotherUserIsTold) {
    if (underWine())
        GTEST_SKIP() << "Wine runs every process as the one user: none of another user exists";
    EXPECT_FALSE(runsAsThisUser(4)) << "the System process";
}

} // namespace
} // namespace quillon
