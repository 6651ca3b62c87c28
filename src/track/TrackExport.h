// The two exports: the raw dump of a layout record to a file, and the
// switch directions as an initializer list for the clipboard.
#pragma once

#include "track/TrackLayout.h"

#include <cstddef>

namespace quillon {

// 4732 entries of "0x%02X, ", CR LF after every 16th, none after the last.
constexpr std::size_t RAW_EXPORT_SIZE = 28982;

// Writes the dump of the record to buffer (RAW_EXPORT_SIZE bytes, not
// NUL-terminated).
void formatRawLayout(const TrackLayout& layout, char* buffer);

namespace switch_text {
constexpr std::size_t HEAD = sizeof "{\r\n\t" - 1;
constexpr std::size_t LONGEST_ENTRY = sizeof "SWITCH_DIR_STRAIGHT,\r\n" - 1;
constexpr std::size_t SEPARATOR = sizeof "\t" - 1;
constexpr std::size_t TAIL = sizeof "}\r\n" - 1;
} // namespace switch_text

// The switch text at its longest (every switch straight), with its NUL.
constexpr std::size_t SWITCH_TEXT_CAPACITY =
    switch_text::HEAD + SWITCH_SLOTS * switch_text::LONGEST_ENTRY +
    (SWITCH_SLOTS - 1) * switch_text::SEPARATOR + switch_text::TAIL + 1;

struct SwitchText {
    char text[SWITCH_TEXT_CAPACITY]; // NUL-terminated
    std::size_t length;
};

// The switch directions of layout, slots 0..21 in order, as
// "{\r\n\t" ... "}\r\n". A slot that no switch fills reads as curved.
SwitchText formatSwitchDirections(const TrackLayout& layout);

} // namespace quillon
