// The two exports: the raw dump of a layout record to a file, and the
// switch directions as an initializer list on the clipboard.
#pragma once

#include "track/TrackLayout.h"

#include <cstddef>

namespace quillon {

// 4732 entries of "0x%02X, ", CR LF after every 16th, none after the last.
constexpr std::size_t RAW_EXPORT_SIZE = 28982;

// Writes the dump of record layoutIndex to buffer (RAW_EXPORT_SIZE bytes,
// not NUL-terminated).
void formatRawLayout(const TrackLayout& layout, char* buffer);

// Writes the dump of record layoutIndex (0 A, 1 B) to the file at path,
// creating or truncating it. True only when every byte was written and the
// file closed; after a failed or short write the partial file is removed.
bool exportRawLayout(const char* path, int layoutIndex);

// The capacity the switch text needs, with its NUL.
constexpr std::size_t SWITCH_TEXT_CAPACITY = 512;

// Writes the switch directions of layout, slots 0..21 in order, as
// "{\r\n\t" ... "}\r\n" into text (SWITCH_TEXT_CAPACITY bytes, NUL-terminated)
// and returns its length. A slot that no switch fills reads as curved.
std::size_t formatSwitchDirections(const TrackLayout& layout, char* text);

// Puts the active layout's switch directions on the clipboard; failure is not
// reported.
void copySwitchDirections();

// Replaces the clipboard's contents with the NUL-terminated text; true when
// the clipboard now holds it.
bool copyToClipboard(const char* text);

} // namespace quillon
