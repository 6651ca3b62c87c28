// [x] add  [x] remove  [x] callback message 1029
//
// The notification-area icon that stands for the program while its window
// is hidden: the first, version-1 form of the icon record.
#pragma once

#include <windows.h>

#include <shellapi.h>

namespace quillon {

constexpr UINT TRAY_CALLBACK = WM_USER + 5;
static_assert(TRAY_CALLBACK == 1029);

// The version-1 record: 88 bytes where pointers and handles take 4 bytes,
// 104 where they take 8 (the alignment of hWnd and hIcon grows it).
static_assert(NOTIFYICONDATAA_V1_SIZE == (sizeof(void*) == 4 ? 88 : 104));

class TrayIcon {
public:
    // Fills the record for the window (icon identifier 0, message, icon and
    // tip "Quillon") and adds the icon; true when the shell took it.
    bool add(HWND window, HICON icon);
    // Removes the icon if it was added.
    void remove();
    bool added() const { return added_; }

private:
    NOTIFYICONDATAA record_{};
    bool added_ = false;
};

} // namespace quillon
