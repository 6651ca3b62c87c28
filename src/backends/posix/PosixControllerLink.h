// [x] connect by path  [x] non-blocking read  [x] whole writes  [x] peer loss
// [x] same-user check  [x] fd released on reconnect and close
// [x] no symbolic links, no other user's socket  [x] each refusal said once
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
    // Remembers the path; nothing is opened until connect. program names
    // the program in the lines that say why the link refuses.
    explicit PosixControllerLink(const char* path, const char* program = "quillon");
    ~PosixControllerLink() override;
    PosixControllerLink(const PosixControllerLink&) = delete;
    PosixControllerLink& operator=(const PosixControllerLink&) = delete;

    // Releases any socket held before, then connects without waiting. False
    // when nothing listens at the path, the listener's queue is full, or the
    // link refuses: the path does not fit a socket address, is a symbolic
    // link, a file of another user or no socket (a regular file, a folder),
    // or the listener runs as another user.
    // A refusal is said in one line on standard error, once for as long as
    // its cause lasts, not at every attempt.
    bool connect() override;
    // Never blocks: 0 when nothing waits, 1..maxCount bytes with a NUL after
    // them, or -1 when the socket failed after bytes were reported waiting.
    int read(std::uint8_t* buffer, int maxCount) override;
    // All count bytes in order, or -1. A peer whose buffer is full and that
    // has taken none of the bytes makes the write fail at once; a write that
    // was cut short waits at most WRITE_WAIT_MS for room for the rest, and
    // failing that marks the stream broken, since its framing is lost.
    int write(const std::uint8_t* bytes, int count) override;
    // False while nothing is open and after any failure of the socket. A
    // peer that has only shut its sending side still hears the link, which
    // stays connected. Once the peer has closed its end, true only while
    // bytes it sent are still waiting and the reader has read since the
    // previous check; so a link whose bytes nobody reads any more (a hidden
    // window) lets go of a departed peer at the next check.
    bool isConnected() override;
    bool close() override;

    const char* path() const { return path_; }
    // The open socket, for waiting on it; -1 while nothing is open.
    int descriptor() const { return fd_; }

    static constexpr int WRITE_WAIT_MS = 100;

private:
    static constexpr std::size_t PATH_CAPACITY = 256;

    enum class Refusal { None, PathTooLong, SymbolicLink, OtherOwner, NotASocket, OtherPeer };
    // Says why the link refuses, unless that was the last thing said.
    void refuse(Refusal cause);

    int fd_ = -1;
    bool broken_ = false;
    long reads_ = 0;            // read calls since connecting
    long readsAtLastCheck_ = 0; // reads_ at the previous isConnected
    Refusal lastRefusal_ = Refusal::None;
    unsigned kindAtRefusal_ = 0; // the file's mode, for NotASocket
    const char* program_;
    char path_[PATH_CAPACITY + 1];
};

} // namespace quillon
