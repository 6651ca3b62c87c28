// [x] window class "quillon"  [x] main window  [x] window procedure
// [x] tray icon events  [x] timers, size, paint, keys, pointer, commands
// [x] virtual keys and mouse buttons in the program's terms
//
// The main window: its class, its creation and the procedure that turns
// its messages into the events of the receiver attached to its host.
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

// Creates the main window, hidden, with a caption, a close box, a maximise
// box and a sizing border; its creation attaches it to the host and adds
// the tray icon. Null on failure.
HWND createMainWindow(Win32Host& host);

// The key the program knows by that virtual key code.
constexpr Key keyOf(WPARAM virtualKey) {
    switch (virtualKey) {
    case 'A':
        return Key::A;
    case 'B':
        return Key::B;
    case 'C':
        return Key::C;
    case VK_F1:
        return Key::F1;
    case VK_F2:
        return Key::F2;
    default:
        return Key::Other;
    }
}
static_assert(keyOf(0x41) == Key::A && keyOf(0x42) == Key::B && keyOf(0x43) == Key::C);
static_assert(keyOf(0x70) == Key::F1 && keyOf(0x71) == Key::F2);

// The window procedure of the class. Messages become events only while a
// receiver is attached to the window's host; without one they are dropped
// (the system's default handling still applies where it did).
LRESULT CALLBACK mainWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace quillon
