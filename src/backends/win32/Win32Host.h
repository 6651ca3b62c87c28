// [x] window  [x] timers  [x] GDI back buffer  [x] fonts  [x] popup menus
// [x] tray icon  [x] message box  [x] save dialog  [x] clipboard
// [x] sound from resources  [x] clock  [x] named-pipe link "\\.\pipe\track"
//
// The host interface on Win32, for the main window. It carries out what the
// application asks, translating the program's terms into the system's; the
// window procedure (MainWindow) feeds it the window and the paint device
// context.
#pragma once

#include "backends/win32/GdiSurface.h"
#include "backends/win32/NamedPipeLink.h"
#include "backends/win32/TrayIcon.h"
#include "host/Host.h"
#include "res/ResourceIds.h"

#include <windows.h>

#include <commdlg.h>
#include <string>

namespace quillon {

// The wave resource of each sound: the resources follow the enumeration.
constexpr int soundResourceId(Sound sound) {
    return QUILLON_SOUND_SWITCH + static_cast<int>(sound);
}
static_assert(soundResourceId(Sound::Switch) == QUILLON_SOUND_SWITCH);
static_assert(soundResourceId(Sound::Collision) == QUILLON_SOUND_COLLISION);
static_assert(soundResourceId(Sound::Halt) == QUILLON_SOUND_HALT);
static_assert(soundResourceId(Sound::Sensor) == QUILLON_SOUND_SENSOR);
static_assert(soundResourceId(Sound::TrainMoved) == QUILLON_SOUND_TRAIN_MOVED);
static_assert(soundResourceId(Sound::TrainPlaced) == QUILLON_SOUND_TRAIN_PLACED);
static_assert(SOUND_COUNT == QUILLON_SOUND_TRAIN_PLACED - QUILLON_SOUND_SWITCH + 1);

// The message box icon of each kind of message.
constexpr UINT messageBoxIcon(MessageIcon icon) {
    return icon == MessageIcon::Information ? MB_ICONINFORMATION : MB_ICONHAND;
}
static_assert(messageBoxIcon(MessageIcon::Error) == 0x10);
static_assert(messageBoxIcon(MessageIcon::Information) == 0x40);

// The save dialog's record and the filter string it points into; it must
// stay where it was filled.
struct SaveDialog {
    char filter[256]; // "label\0pattern\0" pairs, ended by one more NUL
    OPENFILENAMEA record;
};

// Fills the dialog for the request, owned by owner, editing path (capacity
// bytes). False when the filters do not fit.
bool prepareSaveDialog(const SaveDialogRequest& request, HWND owner, char* path,
                       std::size_t capacity, SaveDialog& dialog);

class Win32Host : public Host {
public:
    // instance: the module whose resources hold the icons and sounds;
    // pipeName: the controller's pipe, "\\.\pipe\..." in full.
    explicit Win32Host(HINSTANCE instance, const char* pipeName = PIPE_NAME)
        : instance_(instance), pipeName_(pipeName) {}
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
    void setMinimumClientSize(int width, int height) override {
        minimumWidth_ = width, minimumHeight_ = height;
    }
    bool hasTrayIcon() override { return tray_.added(); }

    void startTimer(int id, int periodMs) override;
    void stopTimer(int id) override;

    Surface* createBackBuffer(int width, int height) override;
    void releaseBackBuffer() override;
    void presentBackBuffer(int width, int height) override;
    // The still image: a second memory bitmap like the back buffer.
    Surface* createStillImage(int width, int height) override;
    void releaseStillImage() override;
    void copyStillImage(int left, int top, int right, int bottom) override;
    // Invalidates the union of the rectangles asked for since the last
    // paint, so that a frame repaints one rectangle however many boxes
    // changed.
    void invalidateRect(int left, int top, int right, int bottom) override;

    // Labels: the Terminal face at 6 points on the screen, default weight,
    // character set and precisions, fixed pitch, no antialiasing.
    FontHandle createFont(FontPurpose purpose) override;
    bool measureFont(FontHandle font, FontMetrics& metrics) override;
    void deleteFont(FontHandle font) override;

    void popupMenu(const PopupMenu& menu) override;
    void messageBox(const char* text, MessageIcon icon) override;
    bool saveFileDialog(const SaveDialogRequest& request, char* path,
                        std::size_t capacity) override;
    bool openFileDialog(const OpenDialogRequest& request, char* path,
                        std::size_t capacity) override;
    FileStamp fileStamp(const char* path) override;
    bool setClipboardText(const char* text) override;
    bool replaceFile(const char* path, const void* bytes, std::size_t size) override;
    void playSound(Sound sound) override;
    std::uint32_t milliseconds() override;
    void quit(int exitCode) override;
    std::unique_ptr<ControllerLink> createControllerLink() override;
    // Watches a named pipe link: the message loop (runMessageLoop) wakes for
    // its bytes. False, and the application reads on its timer, when woken
    // reads are turned off or the link is not a named pipe.
    bool watchLink(ControllerLink* link) override;

    // Turns woken reads on (the default) or off: off, the application reads
    // the pipe on its 10 ms timer instead.
    void setWokenReads(bool woken) { wokenReads_ = woken; }
    // Handles what comes first within timeoutMs: the messages waiting, or
    // bytes on the watched link, delivered as onLinkReadable before any
    // message. False when the quit message came, with its code in exitCode.
    bool dispatchNext(DWORD timeoutMs, int& exitCode);
    // dispatchNext until the quit message: its code, or 0.
    int runMessageLoop();
    // The timer of the host's own that looks at the watched link while a
    // modal loop (a menu, a message box, a dialog) holds the thread away
    // from runMessageLoop; the window procedure passes its ticks to
    // onLinkTimer, never to the application.
    static constexpr UINT_PTR LINK_TIMER_ID = 0x5149;
    // Delivers onLinkReadable when bytes wait on the watched link.
    void onLinkTimer();

    // Set by the window procedure while the window exists.
    void attachWindow(HWND window) { window_ = window; }
    HWND window() const { return window_; }
    HINSTANCE instance() const { return instance_; }
    // Raises the smallest size the user can drag the window to, so that its
    // client area stays at least the minimum client size.
    void limitTracking(MINMAXINFO& info) const;
    // The paint device context while a paint message is handled, else null.
    // A paint starts a new rectangle for invalidateRect.
    void setPaintDc(HDC dc) {
        paintDc_ = dc;
        if (dc != nullptr)
            pending_ = RECT{};
    }
    const GdiBackBuffer& backBuffer() const { return backBuffer_; }
    const GdiBackBuffer& stillImage() const { return stillImage_; }
    TrayIcon& tray() { return tray_; }

private:
    HINSTANCE instance_;
    std::string pipeName_;
    HWND window_ = nullptr;
    HDC paintDc_ = nullptr;
    int minimumWidth_ = 0;
    int minimumHeight_ = 0;
    GdiBackBuffer backBuffer_;
    GdiBackBuffer stillImage_;
    RECT pending_{}; // invalidated since the last paint; empty when none
    TrayIcon tray_;
    bool wokenReads_ = true;
    NamedPipeLink* watched_ = nullptr; // the link whose bytes wake the loop
};

} // namespace quillon
