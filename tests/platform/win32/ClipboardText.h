// Reads the clipboard's plain text back, as another program would.
#pragma once

#include <windows.h>

#include <string>

namespace quillon {

inline std::string clipboardText() {
    if (!OpenClipboard(nullptr))
        return "<not open>";
    std::string text = "<none>";
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const char* bytes = static_cast<const char*>(GlobalLock(data))) {
            text = bytes;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

} // namespace quillon
