// [x] window class "quillon"  [x] main window  [x] window procedure
// [x] tray icon events  [x] timers, size, paint, keys, pointer, commands
// [x] a sizing border, kept above the host's minimum client size
// [x] virtual keys and mouse buttons in the program's terms
#include "backends/win32/MainWindow.h"

#include "res/ResourceIds.h"

namespace quillon {
namespace {

constexpr UINT CLASS_STYLE = CS_VREDRAW | CS_HREDRAW | CS_OWNDC;
constexpr DWORD WINDOW_STYLE = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX;
static_assert(CLASS_STYLE == 0x23);
static_assert(WINDOW_STYLE == 0xCD0000);

// Shared icons belong to the module: loaded once, never destroyed.
HICON loadIcon(HINSTANCE instance, int id, int size) {
    return static_cast<HICON>(
        LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_ICON, size, size, LR_SHARED));
}

Win32Host* hostOf(HWND window) {
    return reinterpret_cast<Win32Host*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

// The receiver of the window's events, or null.
HostEvents* eventsOf(HWND window) {
    Win32Host* host = hostOf(window);
    return host != nullptr ? host->events() : nullptr;
}

bool keyHeld(int virtualKey) {
    return (GetKeyState(virtualKey) & 0x8000) != 0;
}

int low16(LPARAM value) {
    return static_cast<int>(LOWORD(value));
}
int high16(LPARAM value) {
    return static_cast<int>(HIWORD(value));
}

LRESULT onCreate(HWND window) {
    Win32Host* host = hostOf(window);
    if (host != nullptr)
        host->tray().add(window, loadIcon(host->instance(), QUILLON_ICON_SMALL, 16));
    return 0;
}

LRESULT onPaint(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    Win32Host* host = hostOf(window);
    if (host != nullptr && host->events() != nullptr) {
        host->setPaintDc(dc);
        host->events()->onPaint();
        host->setPaintDc(nullptr);
    }
    EndPaint(window, &paint);
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT onSize(HostEvents* events, WPARAM wParam, LPARAM lParam) {
    const bool minimised = wParam == SIZE_MINIMIZED;
    // Size changes that come while the application is being built are
    // dropped: it fits the layouts to its window itself.
    if (events != nullptr)
        events->onSize(minimised, low16(lParam), high16(lParam));
    return minimised ? 0 : 1;
}

LRESULT onTrayCallback(HostEvents* events, WPARAM iconId, LPARAM mouseMessage) {
    if (iconId != 0 || events == nullptr)
        return 1;
    if (mouseMessage == WM_LBUTTONDOWN)
        events->onTrayEvent(TrayEvent::LeftButtonDown);
    else if (mouseMessage == WM_RBUTTONDOWN)
        events->onTrayEvent(TrayEvent::RightButtonDown);
    return 1;
}

PointerButton buttonOf(UINT message) {
    if (message == WM_LBUTTONDOWN)
        return PointerButton::Left;
    if (message == WM_RBUTTONDOWN)
        return PointerButton::Right;
    return PointerButton::Middle;
}

} // namespace

bool registerWindowClass(HINSTANCE instance) {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CLASS_STYLE;
    windowClass.lpfnWndProc = mainWindowProcedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = loadIcon(instance, QUILLON_ICON_LARGE, 32);
    windowClass.hIconSm = loadIcon(instance, QUILLON_ICON_SMALL, 16);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = WINDOW_CLASS_NAME;
    return RegisterClassExA(&windowClass) != 0;
}

void unregisterWindowClass(HINSTANCE instance) {
    UnregisterClassA(WINDOW_CLASS_NAME, instance);
}

HWND createMainWindow(Win32Host& host) {
    return CreateWindowExA(WS_EX_CLIENTEDGE, WINDOW_CLASS_NAME, "Quillon", WINDOW_STYLE,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr,
                           nullptr, host.instance(), &host);
}

LRESULT CALLBACK mainWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCCREATE: {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        auto* host = static_cast<Win32Host*>(create->lpCreateParams);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(host));
        if (host != nullptr)
            host->attachWindow(window);
        return DefWindowProcA(window, message, wParam, lParam);
    }
    case WM_CREATE:
        return onCreate(window);
    case WM_DESTROY:
        if (Win32Host* host = hostOf(window))
            host->tray().remove();
        return 1;
    case WM_NCDESTROY:
        if (Win32Host* host = hostOf(window); host != nullptr && host->window() == window)
            host->attachWindow(nullptr);
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_SIZE:
        return onSize(eventsOf(window), wParam, lParam);
    case WM_GETMINMAXINFO:
        // It arrives before the window is attached to its host, too.
        if (Win32Host* host = hostOf(window))
            host->limitTracking(*reinterpret_cast<MINMAXINFO*>(lParam));
        return 0;
    case WM_PAINT:
        return onPaint(window, message, wParam, lParam);
    case WM_CLOSE:
        if (HostEvents* events = eventsOf(window))
            events->onClose();
        return 1;
    case WM_KEYDOWN: {
        HostEvents* events = eventsOf(window);
        if (events == nullptr)
            break;
        const bool control = keyHeld(VK_LCONTROL) || keyHeld(VK_RCONTROL);
        if (events->onKeyDown(keyOf(wParam), control))
            return 0;
        break;
    }
    case WM_COMMAND:
        // Menu entries only; notifications from controls carry a handle.
        if (HostEvents* events = eventsOf(window); events != nullptr && lParam == 0)
            events->onCommand(LOWORD(wParam));
        return 0;
    case WM_TIMER:
        if (Win32Host* host = hostOf(window); host != nullptr && wParam == Win32Host::LINK_TIMER_ID)
            host->onLinkTimer();
        else if (HostEvents* events = eventsOf(window))
            events->onTimer(static_cast<int>(wParam));
        break;
    case WM_MOUSEMOVE:
        if (HostEvents* events = eventsOf(window))
            events->onPointerMove(low16(lParam), high16(lParam));
        break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        if (HostEvents* events = eventsOf(window))
            events->onButtonDown(low16(lParam), high16(lParam), buttonOf(message));
        break;
    case TRAY_CALLBACK:
        return onTrayCallback(eventsOf(window), wParam, lParam);
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace quillon
