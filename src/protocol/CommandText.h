// Commands in words, for logs and tools: "speed train 12 step 8",
// "switch 5 curved", "report".
#pragma once

#include "protocol/CommandFraming.h"

#include <cstddef>
#include <cstdint>

namespace quillon {

// Room for the longest description and its NUL.
constexpr std::size_t COMMAND_TEXT_CAPACITY = 48;

// Describes the complete command of length bytes (as commandShape frames it
// in set) into text. A command cut short is described as "incomplete".
void describeCommand(const std::uint8_t* bytes, int length, CommandSet set,
                     char (&text)[COMMAND_TEXT_CAPACITY]);

// The numbers of the sensors set in a reply of length bytes to the command
// that starts with first, in the report's bit order; how many. Module k of
// the reply is the k-th module asked for.
int replySensors(std::uint8_t first, CommandSet set, const std::uint8_t* bytes, int length,
                 int (&numbers)[MAX_CONTACTS]);

// The sensors set in a report of length bytes that answers the command
// first: their names separated by spaces, or "none". Module k of the answer
// is the k-th module asked for. text holds at least 5 bytes per sensor.
void describeReport(std::uint8_t first, CommandSet set, const std::uint8_t* bytes, int length,
                    char* text, std::size_t capacity);

} // namespace quillon
