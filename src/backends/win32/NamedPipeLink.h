// [x] connect (bounded wait)  [x] non-blocking read  [x] write
// [x] connection check  [x] close
//
// The controller link on Windows: the client end of the byte-mode named
// pipe that the controlling program creates (normally "\\.\pipe\track").
#pragma once

#include "host/ControllerLink.h"

namespace quillon {

class NamedPipeLink : public ControllerLink {
public:
    // How long connect waits for a free instance of a pipe that exists but
    // is busy. Short, because the GUI thread waits.
    static constexpr unsigned long CONNECT_WAIT_MS = 50;
    static constexpr int NAME_CAPACITY = 256;

    // Keeps at most NAME_CAPACITY characters of the name; not yet open.
    explicit NamedPipeLink(const char* name);
    ~NamedPipeLink() override;
    NamedPipeLink(const NamedPipeLink&) = delete;
    NamedPipeLink& operator=(const NamedPipeLink&) = delete;

    // Opens the pipe for reading and writing. A handle held before (a stale
    // connection) is closed first.
    bool connect() override;
    int read(std::uint8_t* buffer, int maxCount) override;
    int write(const std::uint8_t* bytes, int count) override;
    // True while the handle is a pipe whose server end is still there.
    bool isConnected() override;
    bool close() override;

    const char* name() const { return name_; }

private:
    void* handle_; // the pipe, or INVALID_HANDLE_VALUE while not open
    char name_[NAME_CAPACITY + 1];
};

} // namespace quillon
