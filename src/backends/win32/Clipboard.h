// [x] plain text to the clipboard  [x] memory freed on every failure
#pragma once

#include <windows.h>

namespace quillon {

// Replaces the clipboard's contents with the NUL-terminated text as CF_TEXT.
// True when the clipboard holds the text and owns its memory; on false the
// clipboard is closed and no memory is left behind.
bool copyTextToClipboard(HWND owner, const char* text);

} // namespace quillon
