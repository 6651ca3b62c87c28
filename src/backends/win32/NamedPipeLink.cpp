// [x] connect (bounded wait)  [x] non-blocking read  [x] write (bounded wait)
// [x] connection check  [x] close  [x] same-user server  [x] identification only
#include "backends/win32/NamedPipeLink.h"

#include <cstring>
#include <windows.h>

namespace quillon {

namespace {

// The account a process runs as: TOKEN_USER with room for the longest SID.
union Account {
    TOKEN_USER user;
    BYTE bytes[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
};

bool readAccount(HANDLE process, Account& account) {
    HANDLE token = nullptr;
    if (!OpenProcessToken(process, TOKEN_QUERY, &token))
        return false;
    DWORD size = 0;
    const BOOL read =
        GetTokenInformation(token, TokenUser, account.bytes, sizeof account.bytes, &size);
    CloseHandle(token);
    return read != FALSE;
}

// The end of an operation that ReadFile or WriteFile has begun, awaited
// for at most IO_WAIT_MS. One still pending then is cancelled and its
// cancellation awaited, so that the kernel is done with the caller's
// buffer and OVERLAPPED before they go. True with the bytes moved when the
// operation succeeded, even in part.
bool awaitEnd(HANDLE pipe, OVERLAPPED& operation, DWORD& moved) {
    if (WaitForSingleObject(operation.hEvent, NamedPipeLink::IO_WAIT_MS) != WAIT_OBJECT_0)
        CancelIoEx(pipe, &operation);
    return GetOverlappedResult(pipe, &operation, &moved, TRUE) != FALSE;
}

} // namespace

// A read of one byte ahead of the reader, whose end sets its event.
struct NamedPipeLink::ReadAhead {
    OVERLAPPED operation{};
    std::uint8_t byte = 0;
    bool pending = false; // begun and not yet finished
    bool holding = false; // byte came and is not yet read
};

std::string pipeNameOf(const char* socketValue) {
    if (socketValue[0] == '\0')
        return PIPE_NAME;
    if (socketValue[0] == '\\' && socketValue[1] == '\\')
        return socketValue;
    return std::string("\\\\.\\pipe\\") + socketValue;
}

bool runsAsThisUser(unsigned long processId) {
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (process == nullptr)
        return false;
    Account theirs, ours;
    const bool same = readAccount(process, theirs) && readAccount(GetCurrentProcess(), ours) &&
                      EqualSid(theirs.user.User.Sid, ours.user.User.Sid);
    CloseHandle(process);
    return same;
}

NamedPipeLink::NamedPipeLink(const char* name)
    : ahead_(std::make_unique<ReadAhead>()), handle_(INVALID_HANDLE_VALUE),
      event_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
    ahead_->operation.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::strncpy(name_, name, NAME_CAPACITY);
    name_[NAME_CAPACITY] = '\0';
}

NamedPipeLink::~NamedPipeLink() {
    close();
    if (event_ != nullptr)
        CloseHandle(event_);
    if (ahead_->operation.hEvent != nullptr)
        CloseHandle(ahead_->operation.hEvent);
}

bool NamedPipeLink::connect() {
    close();
    if (event_ == nullptr)
        return false;
    // Returns at once when an instance is free or no pipe of that name
    // exists; waits at most CONNECT_WAIT_MS while every instance is busy.
    // The result does not matter: the open below decides.
    WaitNamedPipeA(name_, CONNECT_WAIT_MS);
    HANDLE pipe = CreateFileA(
        name_, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
        FILE_FLAG_OVERLAPPED | SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION, nullptr);
    if (pipe == INVALID_HANDLE_VALUE)
        return false;
    // Whoever creates the pipe name first serves it, so only a server of
    // our own user may drive the simulator.
    ULONG serverId = 0;
    if (!GetNamedPipeServerProcessId(pipe, &serverId) || !runsAsThisUser(serverId)) {
        CloseHandle(pipe);
        return false;
    }
    handle_ = pipe;
    return true;
}

void* NamedPipeLink::readableEvent() {
    if (handle_ == INVALID_HANDLE_VALUE || ahead_->operation.hEvent == nullptr)
        return nullptr;
    if (ahead_->pending || ahead_->holding)
        return ahead_->operation.hEvent;
    ahead_->operation.Offset = 0;
    ahead_->operation.OffsetHigh = 0;
    // A read that fails at once (a broken pipe) leaves the event set, so
    // the waiter wakes and the reader finds the failure.
    if (!ReadFile(handle_, &ahead_->byte, 1, nullptr, &ahead_->operation) &&
        GetLastError() != ERROR_IO_PENDING) {
        SetEvent(ahead_->operation.hEvent);
        return ahead_->operation.hEvent;
    }
    ahead_->pending = true;
    return ahead_->operation.hEvent;
}

void NamedPipeLink::finishReadAhead(bool wait) {
    if (!ahead_->pending)
        return;
    if (wait)
        CancelIoEx(handle_, &ahead_->operation);
    DWORD moved = 0;
    if (!GetOverlappedResult(handle_, &ahead_->operation, &moved, wait ? TRUE : FALSE) &&
        GetLastError() == ERROR_IO_INCOMPLETE)
        return;
    ahead_->pending = false;
    ahead_->holding = moved == 1;
}

int NamedPipeLink::read(std::uint8_t* buffer, int maxCount) {
    if (maxCount <= 0)
        return 0;
    finishReadAhead(false);
    // Bytes behind a read ahead still pending would be read before its
    // byte: none are taken until it ends.
    if (ahead_->pending)
        return 0;
    int got = 0;
    if (ahead_->holding) {
        buffer[got++] = ahead_->byte;
        ahead_->holding = false;
        ResetEvent(ahead_->operation.hEvent);
    }
    DWORD available = 0;
    if (got == maxCount || !PeekNamedPipe(handle_, nullptr, 0, nullptr, &available, nullptr) ||
        available == 0) {
        buffer[got] = 0;
        return got;
    }
    // Bytes are waiting, so this read completes at once with what is there.
    OVERLAPPED operation{};
    operation.hEvent = event_;
    DWORD more = 0;
    if (!ReadFile(handle_, buffer + got, static_cast<DWORD>(maxCount - got), nullptr, &operation) &&
        GetLastError() != ERROR_IO_PENDING)
        return got > 0 ? (buffer[got] = 0, got) : -1;
    if (!awaitEnd(handle_, operation, more))
        return got > 0 ? (buffer[got] = 0, got) : -1;
    got += static_cast<int>(more);
    buffer[got] = 0;
    return got;
}

int NamedPipeLink::write(const std::uint8_t* bytes, int count) {
    if (handle_ == INVALID_HANDLE_VALUE || broken_ || count < 0)
        return -1;
    OVERLAPPED operation{};
    operation.hEvent = event_;
    if (!WriteFile(handle_, bytes, static_cast<DWORD>(count), nullptr, &operation) &&
        GetLastError() != ERROR_IO_PENDING)
        return -1; // nothing was queued: the stream is intact
    DWORD written = 0;
    if (awaitEnd(handle_, operation, written) && written == static_cast<DWORD>(count))
        return count;
    // Failed, cut short, or cancelled for want of room: the controller
    // would misread every byte after a fragment of a report.
    broken_ = true;
    return -1;
}

bool NamedPipeLink::isConnected() {
    if (broken_)
        return false;
    DWORD state = 0;
    if (!GetNamedPipeHandleStateA(handle_, &state, nullptr, nullptr, nullptr, nullptr, 0))
        return false;
    // The handle state stays readable after the server has gone; a peek
    // fails then (broken pipe), so it tells a live pipe from a stale one.
    DWORD available = 0;
    return PeekNamedPipe(handle_, nullptr, 0, nullptr, &available, nullptr) != 0;
}

bool NamedPipeLink::close() {
    broken_ = false;
    if (handle_ == INVALID_HANDLE_VALUE)
        return false;
    // The kernel must be done with the read ahead's byte before it goes.
    finishReadAhead(true);
    ahead_->holding = false;
    if (ahead_->operation.hEvent != nullptr)
        ResetEvent(ahead_->operation.hEvent);
    CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
    return true;
}

} // namespace quillon
