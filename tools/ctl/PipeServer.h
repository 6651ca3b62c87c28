// The controlling program's end of a named pipe on Windows, for quillon-ctl:
// serving a pipe the simulator connects to, and overlapped reads and writes
// with a time limit.
#pragma once

#include <cstdint>
#include <windows.h>

namespace quillon::ctl {

// The only instance of a byte-mode pipe named name, for local clients, or
// INVALID_HANDLE_VALUE after saying why not: a pipe of that name that is
// already served belongs to someone else and is left alone.
HANDLE servePipe(const char* name);

// Waits for a client of this user on pipe; one of another user is
// disconnected and waited past. False when the pipe failed.
bool acceptClient(HANDLE pipe);

// Up to count bytes from pipe within timeoutMs (INFINITE: no limit): how
// many came, 0 when none came in time, -1 when the pipe failed or closed.
int readWithin(HANDLE pipe, std::uint8_t* bytes, int count, DWORD timeoutMs);

// All count bytes to pipe; false when the pipe failed or closed first.
bool writeAll(HANDLE pipe, const std::uint8_t* bytes, int count);

} // namespace quillon::ctl
