// A Host that records every request of the core, for exact checks without a
// screen. Install it with HostScope so that each test starts from a clean one.
#pragma once

#include "link/ControllerLink.h"
#include "platform/Host.h"
#include "track/TrackLayout.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace quillon::testing {

// One recorded drawing call.
struct DrawCall {
    enum Kind {
        FillRect,
        FillEllipse,
        Line,
        SelectFont,
        TextColour,
        BackgroundTransparent,
        BackgroundOpaque,
        Text
    };
    Kind kind;
    int a, b, c, d; // rectangle or line coordinates, or text position in a, b
    Colour colour;
    FontHandle font;
    std::string text;
};

class RecordingSurface : public Surface {
  public:
    void fillRect(int left, int top, int right, int bottom, Colour colour) override;
    void fillEllipse(int left, int top, int right, int bottom, Colour colour) override;
    void drawLine(int x1, int y1, int x2, int y2, Colour colour) override;
    void selectFont(FontHandle font) override;
    void setTextColour(Colour colour) override;
    void setBackgroundTransparent() override;
    void setBackgroundOpaque(Colour colour) override;
    void textOut(int x, int y, const char* text, int length) override;

    std::vector<DrawCall> calls;
    FontHandle selectedFont = 0;
    // The calls of one kind, in order.
    std::vector<DrawCall> callsOf(DrawCall::Kind kind) const;
};

// A link whose peer is the test: bytes queued with feed() are read, bytes
// written are kept in written.
class FakeLink : public ControllerLink {
  public:
    bool connect() override;
    int read(std::uint8_t* buffer, int maxCount) override;
    int write(const std::uint8_t* bytes, int count) override;
    bool isConnected() override;
    bool close() override;

    void feed(std::vector<std::uint8_t> bytes);

    bool serverPresent = false; // connect succeeds while true
    bool open = false;
    bool failReads = false;  // read returns -1 while bytes wait
    bool failWrites = false; // write returns -1
    int connectCalls = 0;
    std::vector<std::uint8_t> pending;
    std::vector<std::uint8_t> written;
};

struct Message {
    std::string text;
    MessageIcon icon;
};

class FakeHost : public Host {
  public:
    void showWindow(bool handFocusBack) override;
    void hideWindow() override;
    void minimiseWindow() override;
    bool isWindowVisible() override { return visible; }
    void setTitle(const char* title) override { this->title = title; }
    void invalidate() override { ++invalidations; }
    void clientSize(int& width, int& height) override;
    void setOuterSize(int width, int height) override;
    bool hasTrayIcon() override { return tray; }
    void startTimer(int id, int periodMs) override;
    void stopTimer(int id) override;
    Surface* createBackBuffer(int width, int height) override;
    void releaseBackBuffer() override;
    void presentBackBuffer(int width, int height) override;
    int screenDpiY() override { return dpi; }
    FontHandle createFont(const FontRequest& request) override;
    bool measureFont(FontHandle font, FontMetrics& metrics) override;
    void deleteFont(FontHandle font) override;
    void popupMenu(const PopupMenu& menu) override { menus.push_back(menu); }
    void messageBox(const char* text, MessageIcon icon) override;
    bool saveFileDialog(const SaveDialogRequest& request, char* path,
                        std::size_t capacity) override;
    bool setClipboardText(const char* text) override;
    void playSound(int resourceId) override { sounds.push_back(resourceId); }
    std::uint32_t milliseconds() override { return clock; }
    void quit(int exitCode) override { quitCode = exitCode; }
    std::unique_ptr<ControllerLink> createControllerLink(const char* name) override;

    // Window.
    bool visible = false;
    bool minimised = false;
    bool focusHandedBack = false;
    int showCalls = 0;
    std::string title;
    int invalidations = 0;
    int clientWidth = 512, clientHeight = 320;
    int frameWidth = 0, frameHeight = 0; // outer size minus client size
    bool tray = true;
    // Timers: period of each running timer, 0 when stopped.
    int timerPeriod[4] = {};
    // Drawing.
    RecordingSurface surface;
    bool failBackBuffer = false;
    int backBufferWidth = 0, backBufferHeight = 0;
    std::vector<std::pair<int, int>> presented;
    // Fonts.
    int dpi = 96;
    bool failFont = false;
    bool failMeasure = false;
    FontMetrics metrics{6, 8};
    std::vector<FontRequest> fontRequests;
    std::vector<std::string> fontFaces;
    std::vector<FontHandle> deletedFonts;
    FontHandle nextFont = 0x100;
    // Dialogs, clipboard, sound, clock, quit.
    std::vector<PopupMenu> menus;
    std::vector<Message> messages;
    std::vector<SaveDialogRequest> saveDialogs;
    std::string proposedPath;
    std::string chosenPath; // empty: the dialog is cancelled
    std::string clipboard;
    bool failClipboard = false;
    std::vector<int> sounds;
    std::uint32_t clock = 1;
    int quitCode = -1;
    // The link handed to the application; owned by it once created.
    FakeLink* link = nullptr;
    bool linkServerPresent = false;
};

// Installs a fresh FakeHost for the scope and puts every process-wide table
// of the core back to its start-up state on entry and exit.
class HostScope {
  public:
    HostScope();
    ~HostScope();
    HostScope(const HostScope&) = delete;
    HostScope& operator=(const HostScope&) = delete;
    FakeHost host;
};

// Puts every process-wide table of the core back to its start-up state.
void resetCoreState();

// The node of the active layout with that name (a test failure if none).
TrackNode& nodeNamed(const char* name);

} // namespace quillon::testing
