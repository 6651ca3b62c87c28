// [x] window: show without focus, hide, minimise, title, repaint, sizes,
//     resizable above a minimum size
// [x] three precise timers  [x] QImage back buffer  [x] fixed-pitch font
// [x] popup menus at the cursor, with submenus  [x] tray icon and its events
// [x] message box  [x] save and open dialogs  [x] file stamps  [x] clipboard  [x] sound  [x] clock
// [x] quit  [x] Unix-socket controller link  [x] reads woken by the socket
// [x] still image kept beside the back buffer  [x] repaint of a rectangle
//
// The host interface on Qt 6 Widgets. It carries out what the application
// asks and hands Qt's events to it; every decision stays in the application.
#pragma once

#include "host/Host.h"

#include <QRect>
#include <QRegion>
#include <QTimer>
#include <memory>
#include <string>
#include <vector>

class QFont;
class QPainter;
class QSocketNotifier;
class QSystemTrayIcon;

namespace quillon {

class MainWindow;
class QtSound;
class QtSurface;

class QtHost : public Host {
public:
    // Creates the main window hidden, and the tray icon when the desktop has
    // a notification area. A QApplication must exist. The controller link
    // connects to socketPath, or to controllerSocketPath() when it is null
    // or empty.
    explicit QtHost(const char* socketPath = nullptr);
    ~QtHost() override;
    QtHost(const QtHost&) = delete;
    QtHost& operator=(const QtHost&) = delete;

    void showWindow(bool handFocusBack) override;
    void hideWindow() override;
    void minimiseWindow() override;
    bool isWindowVisible() override;
    void setTitle(const char* title) override;
    void invalidate() override;
    void invalidateRect(int left, int top, int right, int bottom) override;
    void clientSize(int& width, int& height) override;
    void setOuterSize(int width, int height) override;
    void setMinimumClientSize(int width, int height) override;
    bool hasTrayIcon() override;
    void startTimer(int id, int periodMs) override;
    void stopTimer(int id) override;
    Surface* createBackBuffer(int width, int height) override;
    void releaseBackBuffer() override;
    void presentBackBuffer(int width, int height) override;
    Surface* createStillImage(int width, int height) override;
    void releaseStillImage() override;
    void copyStillImage(int left, int top, int right, int bottom) override;
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
    bool watchLink(ControllerLink* link) override;

    // Runs the application's paint handler with the window's painter as the
    // target of presentBackBuffer, for the part of the window in dirty;
    // paints black what the frame leaves.
    void paintWindow(QPainter& painter, const QRegion& dirty);

    MainWindow& window() { return *window_; }
    QSystemTrayIcon* trayIcon() { return tray_.get(); }
    QtSurface* backBuffer() { return backBuffer_.get(); }

private:
    // The vertical resolution of the window's screen, dots per inch.
    int screenDpiY() const;
    void createTrayIcon();
    static Surface* makeSurface(std::unique_ptr<QtSurface>& slot, int width, int height);

    std::unique_ptr<MainWindow> window_;
    std::unique_ptr<QSystemTrayIcon> tray_;
    std::unique_ptr<QtSound> sound_;
    std::unique_ptr<QtSurface> backBuffer_;
    std::unique_ptr<QtSurface> stillImage_;
    std::unique_ptr<QSocketNotifier> linkNotifier_;
    int notifiedFd_ = -1;
    std::vector<std::unique_ptr<QFont>> fonts_;
    QTimer timers_[3];
    QPainter* windowPainter_ = nullptr;
    QRegion dirty_;        // of the paint event being handled
    QRect pendingRepaint_; // asked for since the last paint event
    QRect presented_;
    std::string socketPath_;
};

} // namespace quillon
