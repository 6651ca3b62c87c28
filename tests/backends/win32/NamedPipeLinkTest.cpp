#include "backends/win32/NamedPipeLink.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <windows.h>

// The pipe smoke test drives the rest through quillon.exe: the server that
// leaves, the controller that stops reading, the link that lets it go and
// connects again.
namespace quillon {
namespace {

// A pipe of this test process, so that parallel test runs never meet.
const std::string PIPE = "\\\\.\\pipe\\quillon-test-" + std::to_string(GetCurrentProcessId());

// The controlling program's end: an instance of a byte-mode pipe of two at
// most.
struct PipeServer {
    PipeServer()
        : handle(CreateNamedPipeA(PIPE.c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE | PIPE_WAIT, 2,
                                  4096, 4096, 0, nullptr)) {}
    ~PipeServer() { CloseHandle(handle); }
    HANDLE handle;
};

// Milliseconds that a failing connect takes (INFINITE when it succeeds).
DWORD failedConnectMs(NamedPipeLink& link) {
    const DWORD start = GetTickCount();
    return link.connect() ? INFINITE : GetTickCount() - start;
}

TEST(NamedPipeLinkTest, WithoutServerConnectFailsAtOnce) {
    NamedPipeLink link(PIPE.c_str());
    EXPECT_LT(failedConnectMs(link), 1000u);
    EXPECT_FALSE(link.isConnected());
}

TEST(NamedPipeLinkTest, ABusyPipeFailsWithinTheBoundedWait) {
    PipeServer server; // the only instance so far
    NamedPipeLink first(PIPE.c_str()), second(PIPE.c_str());
    ASSERT_TRUE(first.connect());
    EXPECT_LT(failedConnectMs(second), 1000u);
}

TEST(NamedPipeLinkTest, ReadsWhatWaitsInSlicesEachFollowedByANul) {
    PipeServer server;
    NamedPipeLink link(PIPE.c_str());
    ASSERT_TRUE(link.connect());
    ASSERT_TRUE(ConnectNamedPipe(server.handle, nullptr) || GetLastError() == ERROR_PIPE_CONNECTED);
    std::uint8_t bytes[30], buffer[25];
    for (int i = 0; i < 30; ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 9); // 0 and bytes above 127 among them
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

// A link connected to a server whose end is connected too.
struct ConnectedPipe {
    ConnectedPipe() {
        connected = link.connect() && (ConnectNamedPipe(server.handle, nullptr) ||
                                       GetLastError() == ERROR_PIPE_CONNECTED);
    }
    void send(const char* bytes) {
        DWORD count = 0;
        WriteFile(server.handle, bytes, static_cast<DWORD>(std::strlen(bytes)), &count, nullptr);
    }
    PipeServer server;
    NamedPipeLink link{PIPE.c_str()};
    bool connected = false;
};

TEST(NamedPipeLinkTest, TheReadableEventWaitsForBytes) {
    ConnectedPipe pipe;
    ASSERT_TRUE(pipe.connected);
    HANDLE readable = pipe.link.readableEvent();
    ASSERT_NE(readable, nullptr);
    EXPECT_EQ(WaitForSingleObject(readable, 50), static_cast<DWORD>(WAIT_TIMEOUT));
    pipe.send("ab");
    EXPECT_EQ(WaitForSingleObject(readable, 5000), static_cast<DWORD>(WAIT_OBJECT_0));
}

TEST(NamedPipeLinkTest, TheByteReadAheadComesFirstAndTheRestFollowInOrder) {
    ConnectedPipe pipe;
    ASSERT_TRUE(pipe.connected);
    HANDLE readable = pipe.link.readableEvent();
    pipe.send("xyz");
    ASSERT_EQ(WaitForSingleObject(readable, 5000), static_cast<DWORD>(WAIT_OBJECT_0));
    std::uint8_t buffer[8] = {};
    std::string got;
    for (int tries = 0; tries < 100 && got.size() < 3; ++tries, Sleep(10)) {
        const int count = pipe.link.read(buffer, 2);
        got.append(reinterpret_cast<const char*>(buffer), count > 0 ? count : 0);
    }
    EXPECT_EQ(got, "xyz");
}

TEST(NamedPipeLinkTest, ClosingEndsAPendingReadAhead) {
    ConnectedPipe pipe;
    ASSERT_TRUE(pipe.connected);
    ASSERT_NE(pipe.link.readableEvent(), nullptr);
    EXPECT_TRUE(pipe.link.close());
    EXPECT_EQ(pipe.link.readableEvent(), nullptr) << "nothing open, nothing to wait on";
}

TEST(RunsAsThisUserTest, AProcessThatCannotBeCheckedCountsAsAnotherUser) {
    EXPECT_FALSE(runsAsThisUser(0x7FFFFFFC)) << "no such process";
}

} // namespace
} // namespace quillon
