// Parser of the layout text format into a TrackLayout record.
#pragma once

#include "track/TrackLayout.h"

#include <cstddef>

namespace quillon {

constexpr std::size_t MESSAGE_CAPACITY = 512;

struct ParseResult {
    int status;                     // 0 on success, -1 on failure
    char message[MESSAGE_CAPACITY]; // why it failed; empty on success and for
                                    // the few failures that carry no message
};

// Parses the NUL-terminated layout text into layout, which must be all zero.
// On failure, what was stored before the failing field stays in the record.
// For any text, nothing is written outside the record: node counts above 72,
// sensor ids outside 0..39 and switch numbers without a slot are rejected.
ParseResult parseTrackLayout(const char* text, TrackLayout& layout);

} // namespace quillon
