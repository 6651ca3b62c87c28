#include "backends/win32/MainWindow.h"

#include "app/SimulatorApp.h"

#include <gtest/gtest.h>

#include <string>

namespace quillon {
namespace {

// Writes each event it receives as one line: its name and its values.
struct Recorder final : HostEvents {
    void onTimer(int id) override { write("timer", id); }
    void onSize(bool m, int w, int h) override { write(m ? "minimised" : "size", w, h); }
    void onPaint() override { write("paint"); }
    void onClose() override { write("close"); }
    bool onKeyDown(Key k, bool c) override { return write(c ? "control" : "key", int(k)); }
    void onPointerMove(int x, int y) override { write("move", x, y); }
    void onButtonDown(int x, int y, PointerButton b) override { write("button", int(b), x, y); }
    void onCommand(int id) override { write("command", id); }
    void onTrayEvent(TrayEvent e) override { write("tray", int(e)); }

    // True: a key is taken as consumed.
    template <class... Values> bool write(const char* name, Values... values) {
        log += (std::string(name) + ... + (" " + std::to_string(values))) + "\n";
        return true;
    }
    std::string log;
};

// A message to the window, with only `held` of the keys down, and what it
// becomes. Key 2: C; buttons 0, 1, 2: left, right, middle; tray events 0
// and 1: left and right button down.
const struct Translation {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    int held;
    const char* event; // as Recorder writes it; empty for none
    LRESULT result;
} TRANSLATIONS[] = {
    {WM_KEYDOWN, 'C', 1, 0, "key 2\n", 0},
    {WM_KEYDOWN, 'C', 1, VK_LCONTROL, "control 2\n", 0},
    {WM_KEYDOWN, 'C', 1, VK_RCONTROL, "control 2\n", 0},
    {WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(7, 300), 0, "button 0 7 300\n", 0},
    {WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(7, 300), 0, "button 1 7 300\n", 0},
    {WM_MBUTTONDOWN, MK_MBUTTON, MAKELPARAM(7, 300), 0, "button 2 7 300\n", 0},
    {WM_MOUSEMOVE, 0, MAKELPARAM(65535, 40000), 0, "move 65535 40000\n", 0},
    {WM_SIZE, SIZE_RESTORED, MAKELPARAM(640, 400), 0, "size 640 400\n", 1},
    {WM_SIZE, SIZE_MINIMIZED, 0, 0, "minimised 0 0\n", 0},
    {WM_TIMER, 2, 0, 0, "timer 2\n", 0},
    {WM_TIMER, Win32Host::LINK_TIMER_ID, 0, 0, "", 0}, // the host's own, no link watched
    {WM_COMMAND, 0x10000 | 3201, 0, 0, "command 3201\n", 0},
    {WM_COMMAND, 1000, 1, 0, "", 0}, // a control's notification
    {WM_CLOSE, 0, 0, 0, "close\n", 1},
    {TRAY_CALLBACK, 0, WM_LBUTTONDOWN, 0, "tray 0\n", 1},
    {TRAY_CALLBACK, 0, WM_RBUTTONDOWN, 0, "tray 1\n", 1},
    {TRAY_CALLBACK, 0, WM_MOUSEMOVE, 0, "", 1},
};

// The class and the hidden window with its tray icon, as WinMain makes them.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(registerWindowClass(instance));
        ASSERT_NE(window = createMainWindow(host), nullptr);
    }
    void TearDown() override {
        host.attach(nullptr);
        DestroyWindow(window);
        EXPECT_FALSE(host.hasTrayIcon()) << "the window takes its tray icon with it";
        unregisterWindowClass(instance);
    }
    // The procedure's result for the message; its events alone in the log.
    LRESULT send(const Translation& t) {
        events.log.clear();
        BYTE keys[256] = {};
        keys[t.held] = t.held != 0 ? 0x80 : 0;
        SetKeyboardState(keys);
        return SendMessageA(window, t.message, t.wParam, t.lParam);
    }

    HINSTANCE instance = GetModuleHandleA(nullptr);
    Win32Host host{instance};
    HWND window = nullptr;
    Recorder events;
};

TEST_F(MainWindowTest, MessagesBecomeTheEventsOfTheAttachedReceiver) {
    host.attach(&events);
    for (const Translation& t : TRANSLATIONS) {
        SCOPED_TRACE(::testing::Message() << "message " << t.message << ", " << t.wParam);
        EXPECT_EQ(send(t), t.result);
        EXPECT_EQ(events.log, t.event);
    }
}

TEST_F(MainWindowTest, WithNothingAttachedMessagesAreDroppedWithTheSameResults) {
    for (const Translation& t : TRANSLATIONS)
        EXPECT_EQ(send(t), t.result) << t.message;
    EXPECT_TRUE(IsWindow(window)) << "the close box never destroys the window";
}

TEST_F(MainWindowTest, TheApplicationAttachesItselfAndPaintsTheShownWindow) {
    ASSERT_TRUE(host.hasTrayIcon()) << "with none, the application shows itself at once";
    {
        SimulatorApp app(host);
        EXPECT_EQ(host.events(), &app);
        SendMessageA(window, TRAY_CALLBACK, 0, WM_LBUTTONDOWN);
        ASSERT_TRUE(IsWindowVisible(window));
        UpdateWindow(window);
        // The frame reaches the window: the layout's black, not the class's white.
        HDC dc = GetDC(window);
        EXPECT_EQ(GetPixel(dc, 0, 0), RGB(0, 0, 0));
        ReleaseDC(window, dc);
    }
    EXPECT_EQ(host.events(), nullptr);
}

TEST_F(MainWindowTest, TheBoxesOfAFrameAreRepaintedAsOneRectangle) {
    ShowWindow(window, SW_SHOWNOACTIVATE);
    ValidateRect(window, nullptr);
    host.invalidateRect(10, 10, 20, 20);
    host.invalidateRect(100, 50, 110, 60);
    HRGN update = CreateRectRgn(0, 0, 0, 0);
    GetUpdateRgn(window, update, FALSE);
    RECT bounds{};
    const RECT both{10, 10, 110, 60};
    EXPECT_EQ(GetRgnBox(update, &bounds), SIMPLEREGION);
    EXPECT_TRUE(EqualRect(&bounds, &both));
    DeleteObject(update);
}

} // namespace
} // namespace quillon
