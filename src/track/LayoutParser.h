// Parser of the layout text format into a TrackLayout record.
#pragma once

#include "track/TrackLayout.h"

namespace quillon {

// Parses the NUL-terminated layout text into layout, which must be all zero.
// Returns 0 on success. On failure returns -1 after showing the reason with
// showMessage (a few switch-entry failures carry no message of their own);
// what was stored before the failing field stays in the record.
// For any text, nothing is written outside the record: node counts above 72,
// sensor ids outside 0..39 and switch numbers without a slot are rejected.
int parseTrackLayout(const char* text, TrackLayout& layout);

} // namespace quillon
