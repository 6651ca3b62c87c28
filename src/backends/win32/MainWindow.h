// [x] window class "quillon"  [x] main window  [x] window procedure
// [x] tray icon events  [x] timers, size, paint, keys, pointer, commands
//
// The main window: its class, its creation and the procedure that turns
// its messages into calls on the application.
#pragma once

#include "backends/win32/Win32Host.h"

#include <windows.h>

namespace quillon {

constexpr const char* WINDOW_CLASS_NAME = "quillon";

// Registers the class "quillon": redraw on size changes, own device
// context, icons 101 and 103 of the instance, the arrow cursor, a white
// background. False when the system refuses it.
bool registerWindowClass(HINSTANCE instance);
void unregisterWindowClass(HINSTANCE instance);

// Creates the main window, hidden, with a caption and a close box but no
// sizing border; its creation attaches it to the host and adds the tray
// icon. Null on failure.
HWND createMainWindow(Win32Host& host);

// The window procedure of the class. Messages reach the application only
// while the application pointer is set.
LRESULT CALLBACK mainWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace quillon
