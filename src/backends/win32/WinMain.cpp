// [x] entry point  [x] options  [x] message loop (in the host)  [x] teardown in order
// [x] errors before the application exists go to a plain message box
//
// The Windows program: registers the class, creates the hidden main window
// with its tray icon, builds the application (which attaches itself to the
// host) and runs the message loop until the Close command.
#include "app/SimulatorApp.h"
#include "backends/win32/MainWindow.h"
#include "backends/win32/Win32Host.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// Nothing else can tell the user yet: no window, no application.
void reportStartFailure(const char* text) {
    MessageBoxA(nullptr, text, "Quillon", MB_OK | MB_ICONHAND);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    using namespace quillon;
    // A program without a console shows its usage in a message box.
    ParsedOptions options = parseOptions(__argc, __argv, std::getenv("QUILLON_COMMANDS"));
    // Pictures without a window are the Linux program's.
    if (options.ok && !options.snapshotPath.empty()) {
        options.ok = false;
        options.error = "--snapshot is not available on Windows";
    }
    if (!options.ok || options.help || options.version) {
        char text[2048];
        std::snprintf(text, sizeof text, "%s%s%s", options.ok ? "" : options.error.c_str(),
                      options.ok ? "" : "\n\n", options.version ? versionText() : usageText());
        MessageBoxA(nullptr, text, "Quillon",
                    MB_OK | (options.ok ? MB_ICONINFORMATION : MB_ICONHAND));
        return options.ok ? 0 : 2;
    }
    const std::string pipeName = pipeNameOf(options.app.socketPath);
    Win32Host host(instance, pipeName.c_str());
    // QUILLON_TIMER_READS=1: the pipe read on the 10 ms timer, as before
    // woken reads, for comparing the two.
    const char* timerReads = std::getenv("QUILLON_TIMER_READS");
    host.setWokenReads(timerReads == nullptr || std::strcmp(timerReads, "1") != 0);
    if (!registerWindowClass(instance)) {
        reportStartFailure("failed to register window class");
        return 0;
    }
    HWND window = createMainWindow(host);
    if (window == nullptr) {
        reportStartFailure("failed to create window");
        unregisterWindowClass(instance);
        return 0;
    }

    int exitCode = 0;
    {
        // The application detaches itself from the host when it goes, before
        // the window does; later messages are dropped.
        SimulatorApp app(host, options.app);
        exitCode = host.runMessageLoop();
    }
    DestroyWindow(window);
    unregisterWindowClass(instance);
    return exitCode;
}
