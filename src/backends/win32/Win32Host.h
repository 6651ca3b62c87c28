// [x] window  [x] timers  [x] GDI back buffer  [x] fonts  [x] popup menus
// [x] tray icon  [x] message box  [x] save dialog  [x] clipboard
// [x] sound from resources  [x] clock  [x] named-pipe link
//
// The host interface on Win32, for the main window. It carries out what the
// application asks; the window procedure (MainWindow) feeds it the window
// and the paint device context.
#pragma once

#include "host/Host.h"
#include "backends/win32/GdiSurface.h"
#include "backends/win32/TrayIcon.h"

#include <windows.h>

namespace quillon {

class Win32Host : public Host {
public:
    // instance: the module whose resources hold the icons and sounds.
    explicit Win32Host(HINSTANCE instance) : instance_(instance) {}
    ~Win32Host() override;
    Win32Host(const Win32Host&) = delete;
    Win32Host& operator=(const Win32Host&) = delete;

    void showWindow(bool handFocusBack) override;
    void hideWindow() override;
    void minimiseWindow() override;
    bool isWindowVisible() override;
    void setTitle(const char* title) override;
    void invalidate() override;
    void clientSize(int& width, int& height) override;
    void setOuterSize(int width, int height) override;
    bool hasTrayIcon() override { return tray_.added(); }

    void startTimer(int id, int periodMs) override;
    void stopTimer(int id) override;

    Surface* createBackBuffer(int width, int height) override;
    void releaseBackBuffer() override;
    void presentBackBuffer(int width, int height) override;

    int screenDpiY() override;
    FontHandle createFont(const FontRequest& request) override;
    bool measureFont(FontHandle font, FontMetrics& metrics) override;
    void deleteFont(FontHandle font) override;

    void popupMenu(const PopupMenu& menu) override;
    void messageBox(const char* text, MessageIcon icon) override;
    bool saveFileDialog(const SaveDialogRequest& request, char* path,
                        std::size_t capacity) override;
    bool setClipboardText(const char* text) override;
    void playSound(int resourceId) override;
    std::uint32_t milliseconds() override;
    void quit(int exitCode) override;
    std::unique_ptr<ControllerLink> createControllerLink(const char* name) override;

    // Set by the window procedure while the window exists.
    void attachWindow(HWND window) { window_ = window; }
    HWND window() const { return window_; }
    HINSTANCE instance() const { return instance_; }
    // The paint device context while a paint message is handled, else null.
    void setPaintDc(HDC dc) { paintDc_ = dc; }
    TrayIcon& tray() { return tray_; }
    // The back buffer's device context, or null.
    HDC backBufferDc() const { return backBuffer_.dc(); }

private:
    HINSTANCE instance_;
    HWND window_ = nullptr;
    HDC paintDc_ = nullptr;
    GdiBackBuffer backBuffer_;
    TrayIcon tray_;
};

} // namespace quillon
