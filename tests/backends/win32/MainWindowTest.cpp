#include "backends/win32/MainWindow.h"

#include "app/SimulatorApp.h"

#include <gtest/gtest.h>

#include <string>

namespace quillon {
namespace {

// Writes each event it receives as one line: its name and its values.
struct Recorder final : HostEvents {
    static constexpr const char* KEYS[] = {"A", "B", "C", "F1", "F2", "Other"};
    static constexpr const char* BUTTONS[] = {"left", "right", "middle"};

    void onTimer(int id) override { write("timer", id); }
    void onSize(bool minimised, int w, int h) override {
        write(minimised ? "minimised" : "size", w, h);
    }
    void onPaint() override { write("paint"); }
    void onClose() override { write("close"); }
    bool onKeyDown(Key key, bool control) override {
        write(control ? "control" : "key", KEYS[static_cast<int>(key)]);
        return true;
    }
    void onPointerMove(int x, int y) override { write("move", x, y); }
    void onButtonDown(int x, int y, PointerButton b) override {
        write(BUTTONS[static_cast<int>(b)], x, y);
    }
    void onCommand(int id) override { write("command", id); }
    void onTrayEvent(TrayEvent e) override {
        write("tray", e == TrayEvent::LeftButtonDown ? "left" : "right");
    }

    static std::string text(const char* value) { return value; }
    static std::string text(int value) { return std::to_string(value); }
    template <class... Values> void write(const char* name, Values... values) {
        log += name;
        ((log += " " + text(values)), ...);
        log += "\n";
    }
    std::string log;
};

// Picks the first entry of the popup menu open on this thread.
void CALLBACK chooseFirstEntry(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    HWND menu = FindWindowA("#32768", nullptr);
    PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
}

// The class and the hidden window with its tray icon, as WinMain makes them.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(registerWindowClass(instance));
        window = createMainWindow(host);
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override {
        host.attach(nullptr);
        DestroyWindow(window);
        EXPECT_FALSE(host.hasTrayIcon()) << "the window takes its tray icon with it";
        unregisterWindowClass(instance);
    }
    // The procedure's result for the message, with only key held down.
    LRESULT send(UINT message, WPARAM wParam, LPARAM lParam, int held = 0) {
        BYTE keys[256] = {};
        if (held != 0)
            keys[held] = 0x80;
        SetKeyboardState(keys);
        return SendMessageA(window, message, wParam, lParam);
    }

    HINSTANCE instance = GetModuleHandleA(nullptr);
    Win32Host host{instance};
    HWND window = nullptr;
    Recorder events;
};

struct Translation {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    int held;
    const char* event; // as Recorder writes it; empty for none
    LRESULT result;
};

const Translation TRANSLATIONS[] = {
    {WM_KEYDOWN, 'A', 1, 0, "key A\n", 0},
    {WM_KEYDOWN, 'C', 1, 0, "key C\n", 0},
    {WM_KEYDOWN, 'C', 1, VK_LCONTROL, "control C\n", 0},
    {WM_KEYDOWN, 'C', 1, VK_RCONTROL, "control C\n", 0},
    {WM_KEYDOWN, 'D', 1, 0, "key Other\n", 0},
    {WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(7, 300), 0, "left 7 300\n", 0},
    {WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(7, 300), 0, "right 7 300\n", 0},
    {WM_MBUTTONDOWN, MK_MBUTTON, MAKELPARAM(7, 300), 0, "middle 7 300\n", 0},
    {WM_MOUSEMOVE, 0, MAKELPARAM(65535, 40000), 0, "move 65535 40000\n", 0},
    {WM_SIZE, SIZE_RESTORED, MAKELPARAM(640, 400), 0, "size 640 400\n", 1},
    {WM_SIZE, SIZE_MINIMIZED, 0, 0, "minimised 0 0\n", 0},
    {WM_TIMER, 2, 0, 0, "timer 2\n", 0},
    {WM_COMMAND, 0x10000 | 3201, 0, 0, "command 3201\n", 0},
    {WM_COMMAND, 1000, 1, 0, "", 0}, // a control's notification
    {WM_CLOSE, 0, 0, 0, "close\n", 1},
    {TRAY_CALLBACK, 0, WM_LBUTTONDOWN, 0, "tray left\n", 1},
    {TRAY_CALLBACK, 0, WM_RBUTTONDOWN, 0, "tray right\n", 1},
    {TRAY_CALLBACK, 0, WM_MOUSEMOVE, 0, "", 1},
    {TRAY_CALLBACK, 1, WM_LBUTTONDOWN, 0, "", 1}, // another icon
};

TEST_F(MainWindowTest, MessagesBecomeTheEventsOfTheAttachedReceiver) {
    host.attach(&events);
    for (const Translation& t : TRANSLATIONS) {
        events.log.clear();
        SCOPED_TRACE(::testing::Message() << "message " << t.message << ", " << t.wParam);
        EXPECT_EQ(send(t.message, t.wParam, t.lParam, t.held), t.result);
        EXPECT_EQ(events.log, t.event);
    }
}

TEST_F(MainWindowTest, WithNothingAttachedMessagesAreDroppedWithTheSameResults) {
    for (const Translation& t : TRANSLATIONS) {
        SCOPED_TRACE(::testing::Message() << "message " << t.message << ", " << t.wParam);
        EXPECT_EQ(send(t.message, t.wParam, t.lParam, t.held), t.result);
    }
    EXPECT_TRUE(IsWindow(window)) << "the close box never destroys the window";
}

TEST_F(MainWindowTest, AChosenMenuEntryArrivesAfterTheMenuHasClosed) {
    host.attach(&events);
    PopupMenu menu{};
    menu.entries[0] = {1001, "Hide", false, false};
    menu.count = 1;
    SetTimer(nullptr, 0, 300, chooseFirstEntry);
    host.popupMenu(menu);
    EXPECT_EQ(events.log, "");
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&message);
    EXPECT_EQ(events.log, "command 1001\n");
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

} // namespace
} // namespace quillon
