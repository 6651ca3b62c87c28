#include "link/win32/NamedPipeLink.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <windows.h>

namespace quillon {
namespace {

// A pipe name of this test process, so that parallel test runs never meet.
std::string uniquePipeName(const char* tag) {
    char name[128];
    std::snprintf(name, sizeof name, "\\\\.\\pipe\\quillon-test-%lu-%s",
                  static_cast<unsigned long>(GetCurrentProcessId()), tag);
    return name;
}

// The controlling program's end: a byte-mode pipe server with one instance.
class PipeServer {
  public:
    explicit PipeServer(const std::string& name) {
        handle = CreateNamedPipeA(name.c_str(), PIPE_ACCESS_DUPLEX,
                                  PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT, 1, 4096, 4096, 0,
                                  nullptr);
    }
    ~PipeServer() { shutDown(); }
    PipeServer(const PipeServer&) = delete;
    PipeServer& operator=(const PipeServer&) = delete;

    // Completes the connection of a client that has opened the pipe.
    bool accept() {
        return ConnectNamedPipe(handle, nullptr) || GetLastError() == ERROR_PIPE_CONNECTED;
    }
    // Puts a disconnected instance back into the listening state without
    // waiting for a client.
    bool listen() {
        DWORD mode = PIPE_READMODE_BYTE | PIPE_NOWAIT;
        if (!SetNamedPipeHandleState(handle, &mode, nullptr, nullptr))
            return false;
        bool listening =
            !ConnectNamedPipe(handle, nullptr) && GetLastError() == ERROR_PIPE_LISTENING;
        mode = PIPE_READMODE_BYTE | PIPE_WAIT;
        return SetNamedPipeHandleState(handle, &mode, nullptr, nullptr) && listening;
    }
    bool send(const void* bytes, DWORD count) {
        DWORD written = 0;
        return WriteFile(handle, bytes, count, &written, nullptr) && written == count;
    }
    std::string receive(DWORD count) {
        std::string bytes(count, '\0');
        DWORD got = 0;
        if (!ReadFile(handle, bytes.data(), count, &got, nullptr))
            return {};
        bytes.resize(got);
        return bytes;
    }
    void shutDown() {
        if (handle == INVALID_HANDLE_VALUE)
            return;
        CloseHandle(handle);
        handle = INVALID_HANDLE_VALUE;
    }

    HANDLE handle;
};

TEST(NamedPipeLinkTest, WithoutServerNothingSucceedsAndNothingWaits) {
    NamedPipeLink link(uniquePipeName("absent").c_str());
    DWORD start = GetTickCount();
    EXPECT_FALSE(link.connect());
    EXPECT_LT(GetTickCount() - start, 1000u);
    EXPECT_FALSE(link.isConnected());
    std::uint8_t buffer[25];
    EXPECT_EQ(link.read(buffer, 24), 0);
    const std::uint8_t byte = 133;
    EXPECT_EQ(link.write(&byte, 1), -1);
    EXPECT_FALSE(link.close());
}

TEST(NamedPipeLinkTest, ReadsWhatWaitsInSlicesWithoutBlockingAndWritesUnchanged) {
    const std::string name = uniquePipeName("read");
    PipeServer server(name);
    ASSERT_NE(server.handle, INVALID_HANDLE_VALUE);
    NamedPipeLink link(name.c_str());
    ASSERT_TRUE(link.connect());
    ASSERT_TRUE(server.accept());
    EXPECT_TRUE(link.isConnected());

    std::uint8_t buffer[25];
    EXPECT_EQ(link.read(buffer, 24), 0);

    std::uint8_t bytes[30];
    for (int i = 0; i < 30; ++i)
        bytes[i] = static_cast<std::uint8_t>(i + 1);
    ASSERT_TRUE(server.send(bytes, 30));
    std::memset(buffer, 0xEE, sizeof buffer);
    ASSERT_EQ(link.read(buffer, 24), 24);
    EXPECT_EQ(std::memcmp(buffer, bytes, 24), 0);
    EXPECT_EQ(buffer[24], 0);
    std::memset(buffer, 0xEE, sizeof buffer);
    ASSERT_EQ(link.read(buffer, 24), 6);
    EXPECT_EQ(std::memcmp(buffer, bytes + 24, 6), 0);
    EXPECT_EQ(buffer[6], 0);
    EXPECT_EQ(link.read(buffer, 24), 0);

    const std::uint8_t report[10] = {0x80, 0, 0xFF, 0, 1, 0, 0, 0x0A, 0x0D, 0};
    EXPECT_EQ(link.write(report, 10), 10);
    EXPECT_EQ(server.receive(10), std::string(reinterpret_cast<const char*>(report), 10));
}

TEST(NamedPipeLinkTest, CloseReportsWhetherSomethingWasOpen) {
    const std::string name = uniquePipeName("close");
    PipeServer server(name);
    NamedPipeLink link(name.c_str());
    EXPECT_FALSE(link.close());
    ASSERT_TRUE(link.connect());
    EXPECT_TRUE(link.close());
    EXPECT_FALSE(link.close());
    EXPECT_FALSE(link.isConnected());
}

TEST(NamedPipeLinkTest, NoticesTheServerLeavingAndConnectsToItsSuccessor) {
    const std::string name = uniquePipeName("leave");
    NamedPipeLink link(name.c_str());
    {
        PipeServer server(name);
        ASSERT_TRUE(link.connect());
        ASSERT_TRUE(server.accept());
        ASSERT_TRUE(link.isConnected());
    }
    EXPECT_FALSE(link.isConnected());
    std::uint8_t buffer[25];
    EXPECT_EQ(link.read(buffer, 24), 0);

    PipeServer successor(name);
    ASSERT_TRUE(link.connect());
    ASSERT_TRUE(successor.accept());
    EXPECT_TRUE(link.isConnected());
    const std::uint8_t byte = 133;
    EXPECT_EQ(link.write(&byte, 1), 1);
    EXPECT_EQ(successor.receive(1), "\x85");
}

TEST(NamedPipeLinkTest, NoticesADisconnectAndConnectsToTheSameInstanceAgain) {
    const std::string name = uniquePipeName("disconnect");
    PipeServer server(name);
    NamedPipeLink link(name.c_str());
    ASSERT_TRUE(link.connect());
    ASSERT_TRUE(server.accept());
    ASSERT_TRUE(DisconnectNamedPipe(server.handle));
    EXPECT_FALSE(link.isConnected());

    ASSERT_TRUE(server.listen());
    ASSERT_TRUE(link.connect());
    ASSERT_TRUE(server.accept());
    EXPECT_TRUE(link.isConnected());
    ASSERT_TRUE(server.send("\x21\x05", 2));
    std::uint8_t buffer[25];
    EXPECT_EQ(link.read(buffer, 24), 2);
}

TEST(NamedPipeLinkTest, BusyPipeFailsWithinTheBoundedWait) {
    const std::string name = uniquePipeName("busy");
    PipeServer server(name);
    NamedPipeLink first(name.c_str());
    ASSERT_TRUE(first.connect());
    ASSERT_TRUE(server.accept());

    NamedPipeLink second(name.c_str());
    DWORD start = GetTickCount();
    EXPECT_FALSE(second.connect());
    EXPECT_LT(GetTickCount() - start, 1000u);
    EXPECT_TRUE(first.isConnected());
}

} // namespace
} // namespace quillon
