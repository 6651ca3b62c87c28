// The two built-in layouts, parsed from their texts into records and taken
// into the track model.
#pragma once

#include "track/LayoutParser.h"
#include "track/Layouts.h"

namespace quillon {

extern const char LAYOUT_A_TEXT[];
extern const char LAYOUT_B_TEXT[];

// What loading the built-in layouts had to say: each failed parse's own
// message (where it has one) and then "Error parsing data for track A" or
// "... B", in that order.
struct LoadMessages {
    char texts[4][MESSAGE_CAPACITY];
    int count;
};

// Parses both texts, going on after a failure (a failed parse keeps what
// it read), builds their tracks, and makes layout A active.
LoadMessages loadBuiltinLayouts(Layouts& layouts);

} // namespace quillon
