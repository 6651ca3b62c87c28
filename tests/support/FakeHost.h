// A Host that records what the core asks of it, for exact checks without a
// screen. Install it with HostScope so that each test starts from a clean one.
#pragma once

#include "link/ControllerLink.h"
#include "platform/Host.h"
#include "track/TrackLayout.h"

#include <string>
#include <utility>
#include <vector>

namespace quillon::testing {

struct Shape {
    int a, b, c, d; // a rectangle's corners or a line's ends
    Colour colour;
};

// A text with the surface state it was drawn in.
struct Text {
    int x, y;
    std::string text;
    Colour colour, background;
    FontHandle font;
};

class RecordingSurface : public Surface {
  public:
    void fillRect(int a, int b, int c, int d, Colour k) override {
        rects.push_back({a, b, c, d, k});
    }
    void fillEllipse(int, int, int, int, Colour) override {}
    void drawLine(int a, int b, int c, int d, Colour k) override {
        lines.push_back({a, b, c, d, k});
    }
    void selectFont(FontHandle f) override { font = f != 0 ? f : font; }
    void setTextColour(Colour k) override { colour = k; }
    void setBackgroundTransparent() override { background = NO_BACKGROUND; }
    void setBackgroundOpaque(Colour k) override { background = k; }
    void textOut(int x, int y, const char* text, int length) override {
        texts.push_back({x, y, std::string(text, length), colour, background, font});
    }

    std::vector<Shape> rects, lines;
    std::vector<Text> texts;
    FontHandle font = 0;
    Colour colour = 0, background = NO_BACKGROUND;
};

// A link whose peer is the test: bytes queued in pending are read, bytes
// written are kept in written.
class FakeLink : public ControllerLink {
  public:
    bool connect() override { return open = serverPresent; }
    int read(std::uint8_t* buffer, int maxCount) override;
    int write(const std::uint8_t* bytes, int count) override;
    bool isConnected() override { return open && serverPresent; }
    bool close() override { return std::exchange(open, false); }

    bool serverPresent = false, open = false;
    bool failReads = false, failWrites = false; // read or write returns -1
    std::vector<std::uint8_t> pending, written;
};

struct Message {
    std::string text;
    MessageIcon icon;
};

class FakeHost : public Host {
  public:
    void showWindow(bool handBack) override {
        visible = true, minimised = false, focusHandedBack = handBack;
    }
    void hideWindow() override { visible = false; }
    void minimiseWindow() override { minimised = true; }
    bool isWindowVisible() override { return visible; }
    void setTitle(const char* text) override { title = text; }
    void invalidate() override {}
    void clientSize(int& w, int& h) override { w = clientWidth, h = clientHeight; }
    void setOuterSize(int w, int h) override {
        clientWidth = w - frameWidth, clientHeight = h - frameHeight;
    }
    bool hasTrayIcon() override { return tray; }
    void startTimer(int id, int periodMs) override { timerPeriod[id & 3] = periodMs; }
    void stopTimer(int id) override { timerPeriod[id & 3] = 0; }
    Surface* createBackBuffer(int, int) override { return &surface; }
    void releaseBackBuffer() override {}
    void presentBackBuffer(int, int) override {}
    int screenDpiY() override { return dpi; }
    FontHandle createFont(const FontRequest& request) override {
        fontRequests.push_back(request);
        return 0xF0 + fontRequests.size(); // never 0
    }
    bool measureFont(FontHandle, FontMetrics& out) override { return out = metrics, !failMeasure; }
    void deleteFont(FontHandle font) override { deletedFonts.push_back(font); }
    void popupMenu(const PopupMenu& menu) override { menus.push_back(menu); }
    void messageBox(const char* text, MessageIcon icon) override {
        messages.push_back({text, icon});
    }
    bool saveFileDialog(const SaveDialogRequest&, char* path, std::size_t capacity) override;
    bool setClipboardText(const char* text) override { return clipboard = text, true; }
    void playSound(int resourceId) override { sounds.push_back(resourceId); }
    std::uint32_t milliseconds() override { return clock; }
    void quit(int exitCode) override { quitCode = exitCode; }
    std::unique_ptr<ControllerLink> createControllerLink(const char*) override;

    bool visible = false, minimised = false, focusHandedBack = false, tray = true;
    std::string title;
    int clientWidth = 512, clientHeight = 320;
    int frameWidth = 0, frameHeight = 0; // outer size minus client size
    int timerPeriod[4] = {};             // of timers 1..3; 0 while stopped
    RecordingSurface surface;
    int dpi = 96;
    FontMetrics metrics{6, 8};
    bool failMeasure = false;
    std::vector<FontRequest> fontRequests;
    std::vector<FontHandle> deletedFonts;
    std::vector<PopupMenu> menus;
    std::vector<Message> messages;
    std::string proposedPath, chosenPath; // an empty chosen path cancels the dialog
    std::string clipboard;
    std::vector<int> sounds;
    std::uint32_t clock = 1;
    int quitCode = -1;
    FakeLink* link = nullptr; // the link handed to the application, which owns it
    bool linkServerPresent = false;
};

// Puts every process-wide table of the core back to its start-up state.
void resetCoreState();

// Installs a fresh FakeHost for the scope, with every process-wide table of
// the core in its start-up state on entry and exit.
struct HostScope {
    HostScope() { resetCoreState(), setHost(&host); }
    ~HostScope() { setHost(nullptr), resetCoreState(); }
    FakeHost host;
};

// The node of the active layout with that name (a test failure if none).
TrackNode& nodeNamed(const char* name);

} // namespace quillon::testing
