// A Host with no input and no output: no window, no sound, no clipboard, a
// clock that stands still. For tools, fuzzers and benchmarks that run the
// core without a platform.
#pragma once

#include "host/ControllerLink.h"
#include "host/Host.h"

#include <memory>

namespace quillon {

class NullSurface : public Surface {
public:
    void fillRect(int, int, int, int, Colour) override {}
    void fillEllipse(int, int, int, int, Colour) override {}
    void drawLine(int, int, int, int, Colour) override {}
    void drawText(int, int, const char*, int, const TextStyle&) override {}
};

// A link that never connects.
class NullLink : public ControllerLink {
public:
    bool connect() override { return false; }
    int read(std::uint8_t*, int) override { return 0; }
    int write(const std::uint8_t*, int) override { return -1; }
    bool isConnected() override { return false; }
    bool close() override { return false; }
};

class NullHost : public Host {
public:
    void showWindow(bool) override {}
    void hideWindow() override {}
    void minimiseWindow() override {}
    bool isWindowVisible() override { return false; }
    void setTitle(const char*) override {}
    void invalidate() override {}
    void clientSize(int& width, int& height) override { width = 512, height = 320; }
    void setOuterSize(int, int) override {}
    bool hasTrayIcon() override { return false; }
    void startTimer(int, int) override {}
    void stopTimer(int) override {}
    Surface* createBackBuffer(int, int) override { return &surface_; }
    void releaseBackBuffer() override {}
    void presentBackBuffer(int, int) override {}
    FontHandle createFont(FontPurpose) override { return 0; }
    bool measureFont(FontHandle, FontMetrics&) override { return false; }
    void deleteFont(FontHandle) override {}
    void popupMenu(const PopupMenu&) override {}
    void messageBox(const char*, MessageIcon) override {}
    bool saveFileDialog(const SaveDialogRequest&, char*, std::size_t) override { return false; }
    bool setClipboardText(const char*) override { return false; }
    bool replaceFile(const char*, const void*, std::size_t) override { return false; }
    void playSound(Sound) override {}
    std::uint32_t milliseconds() override { return 0; }
    void quit(int) override {}
    std::unique_ptr<ControllerLink> createControllerLink() override {
        return std::make_unique<NullLink>();
    }

private:
    NullSurface surface_;
};

} // namespace quillon
