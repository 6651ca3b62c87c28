// [x] entry point  [x] message loop  [x] teardown in order
//
// The Windows program: registers the class, creates the hidden main window
// with its tray icon, builds the application and runs the message loop
// until the Close command.
#include "app/SimulatorApp.h"
#include "backends/win32/MainWindow.h"
#include "backends/win32/Win32Host.h"

#include <windows.h>

#include <memory>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    using namespace quillon;
    Win32Host host(instance);
    setHost(&host);
    if (!registerWindowClass(instance)) {
        showMessage(MessageIcon::Error, "failed to register window class");
        setHost(nullptr);
        return 0;
    }
    HWND window = createMainWindow(host);
    if (window == nullptr) {
        showMessage(MessageIcon::Error, "failed to create window");
        unregisterWindowClass(instance);
        setHost(nullptr);
        return 0;
    }

    auto app = std::make_unique<SimulatorApp>(host);
    application = app.get();

    // GetMessageA is 0 for the quit message and -1 on an error; either ends
    // the loop.
    int exitCode = 0;
    MSG message;
    for (;;) {
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0) {
            exitCode = static_cast<int>(message.wParam);
            break;
        }
        if (got == -1)
            break;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }

    // The window procedure stops calling the application before it goes.
    application = nullptr;
    app.reset();
    DestroyWindow(window);
    unregisterWindowClass(instance);
    setHost(nullptr);
    return exitCode;
}
