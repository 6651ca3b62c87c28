// [x] add  [x] remove  [x] callback message 1029
#include "backends/win32/TrayIcon.h"

#include <cstdio>

namespace quillon {

bool TrayIcon::add(HWND window, HICON icon) {
    record_ = NOTIFYICONDATAA{};
    record_.cbSize = NOTIFYICONDATAA_V1_SIZE;
    record_.hWnd = window;
    record_.uID = 0;
    record_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    record_.uCallbackMessage = TRAY_CALLBACK;
    record_.hIcon = icon;
    std::snprintf(record_.szTip, sizeof record_.szTip, "%s", "Quillon");
    added_ = Shell_NotifyIconA(NIM_ADD, &record_) != FALSE;
    return added_;
}

void TrayIcon::remove() {
    if (!added_)
        return;
    Shell_NotifyIconA(NIM_DELETE, &record_);
    added_ = false;
}

} // namespace quillon
