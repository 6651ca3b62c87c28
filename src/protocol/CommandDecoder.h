// The controlled side of the controller's byte protocol: assembles command
// bytes into commands, carries them out on trains and switches, answers
// report requests and keeps the solenoid flag the display shows.
#pragma once

#include "protocol/SensorReport.h"

#include <cstdint>

namespace quillon {

struct World;

// The decoder's state, part of the world.
struct CommandDecoder {
    SensorReport report;     // the sensors latched since the last report
    std::uint8_t pending[4]; // the command being assembled; only two are used
    std::int32_t pendingCount;
    bool solenoidActive; // true after a switch command, false after byte 32
};

// Feeds count bytes in order. Returns true when at least one two-byte
// command was completed in this call; false for count < 1. Each report
// request ORs in every sensor that reads as triggered and sends the report.
bool decodeCommands(World& world, const std::uint8_t* bytes, int count);

// Records the 10 report bytes as a ReportSent event and clears the latch.
void sendReport(World& world);

} // namespace quillon
