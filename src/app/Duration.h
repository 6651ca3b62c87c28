// The one way the programs' texts write a length of time: scenario files,
// quillon-ctl's statements and anything else a person types.
#pragma once

#include <cstdint>
#include <string_view>

namespace quillon {

// A day: the longest time any text may give.
constexpr std::int32_t LONGEST_DURATION_MS = 24 * 60 * 60 * 1000;

// Reads a time: decimal digits with at most one point, then "ms" for
// milliseconds, "s" or nothing for seconds ("250ms", "1.5s", "2"). True,
// with ms set, when it is a whole number of milliseconds from 0 to
// LONGEST_DURATION_MS; false (ms unchanged) for anything else: signs,
// exponents, other units, a fraction of a millisecond.
bool parseDuration(std::string_view text, std::int32_t& ms);

} // namespace quillon
