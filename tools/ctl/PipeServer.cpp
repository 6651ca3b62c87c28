#include "ctl/PipeServer.h"

#include "backends/win32/NamedPipeLink.h"

#include <cstdio>

namespace quillon::ctl {
namespace {

constexpr DWORD PIPE_BUFFER_BYTES = 4096;

// An event for one overlapped operation, closed with it.
struct Event {
    HANDLE handle = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ~Event() {
        if (handle != nullptr)
            CloseHandle(handle);
    }
    Event() = default;
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;
};

} // namespace

HANDLE servePipe(const char* name) {
    const HANDLE pipe = CreateNamedPipeA(
        name, PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED | FILE_FLAG_FIRST_PIPE_INSTANCE,
        PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS, 1,
        PIPE_BUFFER_BYTES, PIPE_BUFFER_BYTES, 0, nullptr);
    if (pipe == INVALID_HANDLE_VALUE)
        std::fprintf(stderr, "quillon-ctl: cannot serve %s: %s\n", name,
                     GetLastError() == ERROR_ACCESS_DENIED || GetLastError() == ERROR_PIPE_BUSY
                         ? "another program serves it"
                         : "the pipe cannot be made");
    return pipe;
}

bool acceptClient(HANDLE pipe) {
    for (;;) {
        Event done;
        OVERLAPPED operation{};
        operation.hEvent = done.handle;
        if (!ConnectNamedPipe(pipe, &operation)) {
            const DWORD error = GetLastError();
            DWORD unused = 0;
            if (error == ERROR_IO_PENDING && !GetOverlappedResult(pipe, &operation, &unused, TRUE))
                return false;
            if (error != ERROR_IO_PENDING && error != ERROR_PIPE_CONNECTED)
                return false;
        }
        // Whoever connects first gets the pipe, so only our own user's
        // simulator is served.
        ULONG clientId = 0;
        if (GetNamedPipeClientProcessId(pipe, &clientId) && runsAsThisUser(clientId))
            return true;
        std::fprintf(stderr, "quillon-ctl: a program of another user connected; refused\n");
        DisconnectNamedPipe(pipe);
    }
}

int readWithin(HANDLE pipe, std::uint8_t* bytes, int count, DWORD timeoutMs) {
    Event done;
    OVERLAPPED operation{};
    operation.hEvent = done.handle;
    if (!ReadFile(pipe, bytes, static_cast<DWORD>(count), nullptr, &operation) &&
        GetLastError() != ERROR_IO_PENDING)
        return -1;
    if (WaitForSingleObject(done.handle, timeoutMs) != WAIT_OBJECT_0)
        CancelIoEx(pipe, &operation);
    DWORD moved = 0;
    if (GetOverlappedResult(pipe, &operation, &moved, TRUE))
        return moved > 0 ? static_cast<int>(moved) : -1;
    return GetLastError() == ERROR_OPERATION_ABORTED ? static_cast<int>(moved) : -1;
}

bool writeAll(HANDLE pipe, const std::uint8_t* bytes, int count) {
    if (count <= 0)
        return true;
    Event done;
    OVERLAPPED operation{};
    operation.hEvent = done.handle;
    if (!WriteFile(pipe, bytes, static_cast<DWORD>(count), nullptr, &operation) &&
        GetLastError() != ERROR_IO_PENDING)
        return false;
    DWORD moved = 0;
    return GetOverlappedResult(pipe, &operation, &moved, TRUE) &&
           moved == static_cast<DWORD>(count);
}

} // namespace quillon::ctl
