#include "backends/win32/MainWindow.h"

#include "app/SimulatorApp.h"
#include "support/FakeHost.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace quillon {
namespace {

// Picks the first entry (Hide) of the popup menu open on this thread.
void CALLBACK chooseFirstEntry(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    HWND menu = FindWindowA("#32768", nullptr);
    PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
}

// The whole program on one thread, as WinMain builds it: the class, the
// hidden window with its tray icon, the host and the application.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        testing::resetCoreState();
        setHost(&host);
        ASSERT_TRUE(registerWindowClass(instance));
        window = createMainWindow(host);
        ASSERT_NE(window, nullptr);
        EXPECT_TRUE(host.hasTrayIcon());
        app = std::make_unique<SimulatorApp>(host);
        application = app.get();
    }
    void TearDown() override {
        application = nullptr;
        app.reset();
        DestroyWindow(window);
        EXPECT_FALSE(host.hasTrayIcon());
        unregisterWindowClass(instance);
        setHost(nullptr);
    }
    // The window procedure's result for a key pressed with Control up or down.
    LRESULT press(int key, bool control) {
        BYTE keys[256] = {};
        keys[VK_CONTROL] = keys[VK_LCONTROL] = control ? 0x80 : 0;
        SetKeyboardState(keys);
        return SendMessageA(window, WM_KEYDOWN, key, 1);
    }
    std::string title() {
        char text[64] = {};
        GetWindowTextA(window, text, sizeof text);
        return text;
    }
    bool visible() { return IsWindowVisible(window) != FALSE; }

    HINSTANCE instance = GetModuleHandleA(nullptr);
    Win32Host host{instance};
    HWND window = nullptr;
    std::unique_ptr<SimulatorApp> app;
};

TEST_F(MainWindowTest, KeysChooseTheLayoutAndControlCCopiesTheSwitches) {
    press('B', false);
    EXPECT_EQ(title(), "Quillon [Track Model B]");
    press(VK_F1, false);
    EXPECT_EQ(title(), "Quillon [Track Model A]");

    const DWORD before = GetClipboardSequenceNumber();
    press('C', false);
    EXPECT_EQ(GetClipboardSequenceNumber(), before) << "C alone copies nothing";
    EXPECT_EQ(press('C', true), 0);
    EXPECT_NE(GetClipboardSequenceNumber(), before) << "Control+C copies";
}

TEST_F(MainWindowTest, TrayClicksToggleThePaintedWindowAndAChosenMenuEntryArrivesLater) {
    SendMessageA(window, TRAY_CALLBACK, 1, WM_LBUTTONDOWN);
    EXPECT_FALSE(visible()) << "a click on another icon";
    EXPECT_EQ(SendMessageA(window, TRAY_CALLBACK, 0, WM_LBUTTONDOWN), 1);
    ASSERT_TRUE(visible());
    // The frame reaches the window: the layout's black, not the class's white.
    UpdateWindow(window);
    HDC dc = GetDC(window);
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(0, 0, 0));
    ReleaseDC(window, dc);
    SendMessageA(window, TRAY_CALLBACK, 0, WM_LBUTTONDOWN);
    EXPECT_FALSE(visible());

    // The close box hides the window but keeps it.
    SendMessageA(window, TRAY_CALLBACK, 0, WM_LBUTTONDOWN);
    EXPECT_EQ(SendMessageA(window, WM_CLOSE, 0, 0), 1);
    EXPECT_FALSE(visible());
    ASSERT_TRUE(IsWindow(window));

    // A right click on empty space opens the window menu; Hide, chosen in
    // it, takes effect once the message queue is pumped after it closed.
    SendMessageA(window, TRAY_CALLBACK, 0, WM_LBUTTONDOWN);
    SetTimer(nullptr, 0, 300, chooseFirstEntry);
    SendMessageA(window, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(2, 2));
    EXPECT_TRUE(visible());
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&message);
    EXPECT_FALSE(visible());
}

} // namespace
} // namespace quillon
