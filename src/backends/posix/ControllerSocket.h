// [x] listen with mode 0600  [x] stale socket of this user replaced
// [x] anything else at the path refused  [x] connect by path
//
// The controlling program's end of the link on POSIX systems, for tools
// that play the controller (they listen) or sit between the two (they also
// connect onward to a controller).
#pragma once

#include <cstddef>
#include <cstdint>

namespace quillon {

// Room for a reason, with its NUL.
constexpr std::size_t SOCKET_ERROR_CAPACITY = 256;

// The longest path a Unix domain socket address holds, without its NUL.
std::size_t longestSocketPath();

// A socket listening at path that only this user can connect to, or -1 with
// the reason in error. A socket of this user that nobody listens on any more
// is replaced; anything else at the path (another user's socket, a live
// listener, a file, a folder, a symbolic link) is left alone and refused.
int listenForSimulator(const char* path, char (&error)[SOCKET_ERROR_CAPACITY]);

// The next connection on listener, or -1 when none comes within timeoutMs
// (a negative timeout waits for ever).
int acceptConnection(int listener, int timeoutMs);

// A connection to the socket listening at path, or -1 when none listens.
int connectToSocket(const char* path);

// Sends all count bytes on the connected socket fd; false when the peer has
// gone first. A peer that has gone raises no signal.
bool sendAll(int fd, const std::uint8_t* bytes, std::size_t count);

// Receives count bytes on fd within timeoutMs: how many came (count when
// all did), or -1 when the peer closed the stream or it failed first.
int receiveWithin(int fd, std::uint8_t* bytes, int count, int timeoutMs);

} // namespace quillon
