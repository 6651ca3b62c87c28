// [x] connect by path  [x] non-blocking read  [x] whole writes  [x] peer loss
// [x] same-user check  [x] fd released on reconnect and close
//
// The controller link on POSIX systems: a Unix domain stream socket on which
// the controlling program (socat, an emulator's serial port, a test) listens
// and the simulator connects as the client.
#pragma once

#include "host/ControllerLink.h"

#include <cstddef>
#include <string>

namespace quillon {

// Where the simulator looks for the controlling program's socket:
// $QUILLON_PIPE if set and not empty, else $XDG_RUNTIME_DIR/track if that is
// set and not empty, else /tmp/track.
std::string controllerSocketPath();

class PosixControllerLink : public ControllerLink {
public:
    // Remembers the path; nothing is opened until connect.
    explicit PosixControllerLink(const char* path);
    ~PosixControllerLink() override;
    PosixControllerLink(const PosixControllerLink&) = delete;
    PosixControllerLink& operator=(const PosixControllerLink&) = delete;

    // Releases any socket held before, then connects without waiting. False
    // when nothing listens at the path, the path does not fit a socket
    // address, the listener's queue is full, or the listener belongs to
    // another user.
    bool connect() override;
    // Never blocks: 0 when nothing waits, 1..maxCount bytes with a NUL after
    // them, or -1 when the socket failed after bytes were reported waiting.
    int read(std::uint8_t* buffer, int maxCount) override;
    // All count bytes in order, or -1. A peer whose buffer is full and that
    // has taken none of the bytes makes the write fail at once; a write that
    // was cut short waits at most WRITE_WAIT_MS for room for the rest, and
    // failing that marks the stream broken, since its framing is lost.
    int write(const std::uint8_t* bytes, int count) override;
    // False while nothing is open, once the peer has closed its end and every
    // byte it sent has been read, and after any failure of the socket.
    bool isConnected() override;
    bool close() override;

    const char* path() const { return path_; }

    static constexpr int WRITE_WAIT_MS = 100;

private:
    static constexpr std::size_t PATH_CAPACITY = 256;

    int fd_ = -1;
    bool broken_ = false;
    char path_[PATH_CAPACITY + 1];
};

} // namespace quillon
