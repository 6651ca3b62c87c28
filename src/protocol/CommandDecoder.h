// The controlled side of the controller's byte protocol: assembles command
// bytes into commands, carries them out on trains and switches, answers
// report requests and keeps the solenoid flag the display shows.
//
// Two command sets. The basic set: 0..15 speed or reverse for train b2, 32
// solenoid off, 33 and 34 switch b2, 96 and 97 accepted, 133 the 10-byte
// report; every other first byte takes one more byte and does nothing. The
// full set adds what the real controller does besides: 16..31 speed or
// reverse with the train's light on (0..15 switch it off), 64..79 function
// commands (two bytes, no effect), 97 track power off and 96 on again,
// 128 + n the reports of sensor modules 1..n and 192 + n that of module n
// (one byte each; 128 and 192 alone answer nothing).
#pragma once

#include "protocol/CommandFraming.h"

#include <cstdint>

namespace quillon {

struct World;

// The command being assembled and the command set spoken. Its owner keeps
// it beside the world it drives.
struct CommandDecoder {
    std::uint8_t pending[4] = {}; // the command being assembled; only two are used
    std::int32_t pendingCount = 0;
    CommandSet commandSet = CommandSet::Basic;
};

// Feeds count bytes in order into world, recording a CommandDecoded event
// for each command completed. Returns true when at least one two-byte
// command was completed in this call; false for count < 1. A report request
// ORs in every contact of the modules it asks for that reads as triggered,
// sends their bytes (ReportSent) and clears them in the latch.
bool decodeCommands(CommandDecoder& decoder, World& world, const std::uint8_t* bytes, int count);

// Records the 10 bytes of contacts 0..79 as a ReportSent event and clears
// them in the latch.
void sendReport(World& world);

} // namespace quillon
