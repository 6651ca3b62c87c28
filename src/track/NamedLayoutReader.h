// Reading the named form of a layout file (LayoutFile.h describes it) with
// every mistake placed at its line and column.
#pragma once

#include "track/LayoutText.h"
#include "track/Track.h"

#include <string_view>
#include <vector>

namespace quillon {

// The most errors one load reports; after them comes one more, "too many
// errors", at the first error left out.
constexpr int MAX_LAYOUT_ERRORS = 100;

// Loads text in the named form into out. The text is known to be text: no
// NUL byte, valid UTF-8 (a leading byte order mark is skipped). On success
// out holds the indexed layout (window positions equal to its layout
// coordinates, a revision other than the one it replaces) and nodePositions,
// when given, where each node's statement begins; true. Otherwise out and
// nodePositions are untouched, errors gains at most MAX_LAYOUT_ERRORS + 1
// errors in text order, and false.
bool loadNamedLayout(std::string_view text, Track& out, std::vector<LayoutError>& errors,
                     std::vector<SourcePosition>* nodePositions);

} // namespace quillon
