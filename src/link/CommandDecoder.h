// The controlled side of the controller's byte protocol: assembles command
// bytes into commands, carries them out on trains and switches, answers
// report requests and keeps the solenoid flag the display shows.
#pragma once

#include "link/SensorReport.h"

#include <cstdint>

namespace quillon {

class ControllerLink;

struct CommandDecoder {
    SensorReport report;
    std::uint8_t pending[4]; // the command being assembled; only two are used
    std::int32_t pendingCount;
    bool solenoidActive; // true after a switch command, false after byte 32

    // Feeds count bytes in order. Returns true when at least one two-byte
    // command was completed in this call; false for count < 1. Report
    // requests are answered through link (nullptr: the report is cleared
    // without being sent).
    bool decode(const std::uint8_t* bytes, int count, ControllerLink* link);

    // Writes the 10 report bytes in one write and clears them, whether or not
    // the write succeeded.
    void sendReport(ControllerLink* link);
};

} // namespace quillon
