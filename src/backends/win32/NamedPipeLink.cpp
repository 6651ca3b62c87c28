// [x] connect (bounded wait)  [x] non-blocking read  [x] write
// [x] connection check  [x] close
#include "backends/win32/NamedPipeLink.h"

#include <cstring>
#include <windows.h>

namespace quillon {

NamedPipeLink::NamedPipeLink(const char* name) : handle_(INVALID_HANDLE_VALUE) {
    std::strncpy(name_, name, NAME_CAPACITY);
    name_[NAME_CAPACITY] = '\0';
}

NamedPipeLink::~NamedPipeLink() {
    close();
}

bool NamedPipeLink::connect() {
    close();
    // Returns at once when an instance is free or no pipe of that name
    // exists; waits at most CONNECT_WAIT_MS while every instance is busy.
    // The result does not matter: the open below decides.
    WaitNamedPipeA(name_, CONNECT_WAIT_MS);
    handle_ = CreateFileA(name_, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                          OPEN_EXISTING, 0, nullptr);
    return handle_ != INVALID_HANDLE_VALUE;
}

int NamedPipeLink::read(std::uint8_t* buffer, int maxCount) {
    if (maxCount <= 0)
        return 0;
    DWORD available = 0;
    if (!PeekNamedPipe(handle_, nullptr, 0, nullptr, &available, nullptr) || available == 0)
        return 0;
    // Bytes are waiting, so this read completes with what is there.
    DWORD got = 0;
    if (!ReadFile(handle_, buffer, static_cast<DWORD>(maxCount), &got, nullptr))
        return -1;
    buffer[got] = 0;
    return static_cast<int>(got);
}

int NamedPipeLink::write(const std::uint8_t* bytes, int count) {
    if (count < 0)
        return -1;
    DWORD written = 0;
    if (!WriteFile(handle_, bytes, static_cast<DWORD>(count), &written, nullptr))
        return -1;
    return written == static_cast<DWORD>(count) ? count : -1;
}

bool NamedPipeLink::isConnected() {
    DWORD state = 0;
    if (!GetNamedPipeHandleStateA(handle_, &state, nullptr, nullptr, nullptr, nullptr, 0))
        return false;
    // The handle state stays readable after the server has gone; a peek
    // fails then (broken pipe), so it tells a live pipe from a stale one.
    DWORD available = 0;
    return PeekNamedPipe(handle_, nullptr, 0, nullptr, &available, nullptr) != 0;
}

bool NamedPipeLink::close() {
    if (handle_ == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
    return true;
}

} // namespace quillon
