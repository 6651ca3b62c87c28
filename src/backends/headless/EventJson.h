// The run's event log: one JSON object a line, in time order, with the
// time "t" in milliseconds of simulated time.
#pragma once

#include "protocol/CommandFraming.h"
#include "sim/Events.h"

#include <cstddef>
#include <cstdint>

namespace quillon {
struct World;
}

namespace quillon::headless {

// Room for the longest line: a report of 62 bytes naming 80 sensors.
constexpr std::size_t EVENT_JSON_CAPACITY = 1024;

// What the log needs to know besides the event: the command set, and the
// first byte of the last command decoded, which says which sensor modules
// a report answers.
struct LogContext {
    CommandSet commands = CommandSet::Basic;
    std::uint8_t lastCommand = CMD_REPORT;
};

// Writes the event's line (with its line feed) into text and returns its
// length, or returns 0 for an event the log leaves out (sounds of the
// user's clicks and the like). Node names are read from world's layouts. A
// report that could not be written to the controller (written false) is
// logged as "dropped" instead of "report".
std::size_t formatEventJson(std::int64_t timeMs, const Event& event, const World& world,
                            const LogContext& context, char (&text)[EVENT_JSON_CAPACITY],
                            bool written = true);

} // namespace quillon::headless
