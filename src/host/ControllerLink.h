// The simulator's end of the byte stream to the controlling program. The
// platform provides it (a named pipe on Windows, a Unix domain socket on
// Linux); the core only calls these operations, all on the GUI thread.
#pragma once

#include <cstdint>

namespace quillon {

class ControllerLink {
public:
    virtual ~ControllerLink() = default;

    // Opens the stream; returns promptly with false when nobody offers it.
    // Replaces any handle held before.
    virtual bool connect() = 0;

    // Never blocks. Returns 1..maxCount bytes that have already arrived, in
    // order, with a NUL stored after them (buffer holds maxCount + 1 bytes);
    // 0 when nothing waits or the stream cannot be asked; -1 when the read
    // failed after bytes were reported waiting.
    virtual int read(std::uint8_t* buffer, int maxCount) = 0;

    // Delivers all count bytes in order and returns count, or returns -1.
    virtual int write(const std::uint8_t* bytes, int count) = 0;

    // False once the stream is not open or its other end is gone.
    virtual bool isConnected() = 0;

    // False when nothing is open; otherwise closes the stream and returns
    // true.
    virtual bool close() = 0;
};

} // namespace quillon
