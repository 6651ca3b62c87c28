// [x] plain text to the clipboard  [x] memory freed on every failure
#include "backends/win32/Clipboard.h"

#include <cstring>

namespace quillon {

bool copyTextToClipboard(HWND owner, const char* text) {
    // With an owner window, EmptyClipboard makes it the owner, and
    // SetClipboardData accepts the data.
    if (!OpenClipboard(owner))
        return false;
    const std::size_t size = std::strlen(text) + 1;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, size);
    if (memory == nullptr) {
        CloseClipboard();
        return false;
    }
    void* bytes = GlobalLock(memory);
    if (bytes == nullptr) {
        GlobalFree(memory);
        CloseClipboard();
        return false;
    }
    std::memcpy(bytes, text, size);
    GlobalUnlock(memory);
    EmptyClipboard();
    // The clipboard owns the memory only when it took it.
    if (SetClipboardData(CF_TEXT, memory) == nullptr) {
        GlobalFree(memory);
        CloseClipboard();
        return false;
    }
    CloseClipboard();
    return true;
}

} // namespace quillon
