// [x] window class "quillon"  [x] main window  [x] window procedure
// [x] tray icon events  [x] timers, size, paint, keys, pointer, commands
#include "backends/win32/MainWindow.h"

#include "app/SimulatorApp.h"

namespace quillon {
namespace {

constexpr UINT CLASS_STYLE = CS_VREDRAW | CS_HREDRAW | CS_OWNDC;
constexpr DWORD WINDOW_STYLE = WS_CAPTION | WS_SYSMENU;
static_assert(CLASS_STYLE == 0x23);
static_assert(WINDOW_STYLE == 0xC80000);

// Shared icons belong to the module: loaded once, never destroyed.
HICON loadIcon(HINSTANCE instance, int id, int size) {
    return static_cast<HICON>(
        LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_ICON, size, size, LR_SHARED));
}

Win32Host* hostOf(HWND window) {
    return reinterpret_cast<Win32Host*>(GetWindowLongPtrA(window, GWLP_USERDATA));
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
    if (host != nullptr && application != nullptr) {
        host->setPaintDc(dc);
        application->onPaint();
        host->setPaintDc(nullptr);
    }
    EndPaint(window, &paint);
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT onSize(WPARAM wParam, LPARAM lParam) {
    const bool minimised = wParam == SIZE_MINIMIZED;
    // Size changes also come while the application is being built; they
    // only rescale the layouts.
    if (application != nullptr)
        application->onSize(minimised, low16(lParam), high16(lParam));
    else if (!minimised)
        SimulatorApp::rescale(low16(lParam), high16(lParam));
    return minimised ? 0 : 1;
}

LRESULT onTrayCallback(WPARAM iconId, LPARAM mouseMessage) {
    if (iconId != 0 || application == nullptr)
        return 1;
    if (mouseMessage == WM_LBUTTONDOWN)
        application->onTrayEvent(TrayEvent::LeftButtonDown);
    else if (mouseMessage == WM_RBUTTONDOWN)
        application->onTrayEvent(TrayEvent::RightButtonDown);
    return 1;
}

int buttonOf(UINT message) {
    if (message == WM_LBUTTONDOWN)
        return BUTTON_LEFT;
    if (message == WM_RBUTTONDOWN)
        return BUTTON_RIGHT;
    return BUTTON_MIDDLE;
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
        return onSize(wParam, lParam);
    case WM_PAINT:
        return onPaint(window, message, wParam, lParam);
    case WM_CLOSE:
        if (application != nullptr)
            application->onClose();
        return 1;
    case WM_KEYDOWN: {
        if (application == nullptr)
            break;
        const int key = static_cast<int>(wParam);
        const bool control = keyHeld(VK_LCONTROL) || keyHeld(VK_RCONTROL);
        if (application->onKeyDown(key, control))
            return 0;
        break;
    }
    case WM_COMMAND:
        // Menu entries only; notifications from controls carry a handle.
        if (application != nullptr && lParam == 0)
            application->onCommand(LOWORD(wParam));
        return 0;
    case WM_TIMER:
        if (application != nullptr)
            application->onTimer(static_cast<int>(wParam));
        break;
    case WM_MOUSEMOVE:
        if (application != nullptr)
            application->onPointerMove(low16(lParam), high16(lParam));
        break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        if (application != nullptr)
            application->onButtonDown(low16(lParam), high16(lParam), buttonOf(message));
        break;
    case TRAY_CALLBACK:
        return onTrayCallback(wParam, lParam);
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace quillon
