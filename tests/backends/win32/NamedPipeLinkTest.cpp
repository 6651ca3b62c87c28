#include "backends/win32/NamedPipeLink.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <windows.h>

namespace quillon {
namespace {

// A pipe of this test process, so that parallel test runs never meet.
const std::string PIPE = "\\\\.\\pipe\\quillon-test-" + std::to_string(GetCurrentProcessId());

// The controlling program's end: the one instance of a byte-mode pipe.
struct PipeServer {
    PipeServer()
        : handle(CreateNamedPipeA(PIPE.c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE | PIPE_WAIT, 1,
                                  4096, 4096, 0, nullptr)) {}
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

} // namespace
} // namespace quillon
