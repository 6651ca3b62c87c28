// [x] connect (bounded wait)  [x] non-blocking read  [x] write (bounded wait)
// [x] connection check  [x] close  [x] same-user server  [x] identification only
//
// The controller link on Windows: the client end of the byte-mode named
// pipe that the controlling program creates (normally "\\.\pipe\track").
#pragma once

#include "host/ControllerLink.h"

#include <memory>
#include <string>

namespace quillon {

// The pipe the controlling program serves unless told otherwise.
constexpr const char* PIPE_NAME = "\\\\.\\pipe\\track";

// The pipe that a --socket value names: in full ("\\.\pipe\name"), or by
// the name alone; PIPE_NAME for an empty value.
std::string pipeNameOf(const char* socketValue);

// True when the process runs as the same user as this one; false when it
// runs as another or that cannot be told (no such process, no access).
bool runsAsThisUser(unsigned long processId);

class NamedPipeLink : public ControllerLink {
public:
    // How long connect waits for a free instance of a pipe that exists but
    // is busy. Short, because the GUI thread waits.
    static constexpr unsigned long CONNECT_WAIT_MS = 50;
    // The longest a read or a write keeps the GUI thread waiting.
    static constexpr unsigned long IO_WAIT_MS = 100;
    static constexpr int NAME_CAPACITY = 256;

    // Keeps at most NAME_CAPACITY characters of the name; not yet open.
    explicit NamedPipeLink(const char* name);
    ~NamedPipeLink() override;
    NamedPipeLink(const NamedPipeLink&) = delete;
    NamedPipeLink& operator=(const NamedPipeLink&) = delete;

    // Opens the pipe for reading and writing. A handle held before (a stale
    // connection) is closed first. False when there is no pipe or no free
    // instance, or when the process serving the pipe cannot be shown to run
    // as our user. The server may identify us but never act as us.
    bool connect() override;
    // Never blocks: 0 when nothing waits, else 1..maxCount bytes with a NUL
    // after them (a byte read ahead first), or -1 when the pipe failed.
    int read(std::uint8_t* buffer, int maxCount) override;
    // All count bytes, or -1. A write that the controller has not taken
    // within IO_WAIT_MS (it stopped reading and the pipe is full) is
    // cancelled, and so is one cut short: either leaves the stream broken,
    // since its framing is lost, until the next connect.
    int write(const std::uint8_t* bytes, int count) override;
    // True while the handle is a pipe whose server end is still there and
    // no write has broken the stream.
    bool isConnected() override;
    bool close() override;

    // An event that is set while bytes wait to be read, or once the pipe has
    // failed; nullptr while nothing is open. It comes from a read of one
    // byte ahead, started here when none is pending, which read delivers
    // first. The event stays set until read has taken the byte.
    void* readableEvent();

private:
    struct ReadAhead;
    // Takes the end of a read ahead that has ended, noting whether it
    // brought its byte; with wait, cancels one still pending and waits for
    // its end, so that the kernel is done with the byte.
    void finishReadAhead(bool wait);

    std::unique_ptr<ReadAhead> ahead_;
    void* handle_; // the pipe, or INVALID_HANDLE_VALUE while not open
    void* event_;  // signals the end of each read and write
    bool broken_ = false;
    char name_[NAME_CAPACITY + 1];
};

} // namespace quillon
