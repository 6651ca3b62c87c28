#include "platform/win32/MainWindow.h"

#include "ClipboardText.h"

#include "app/MenuCommands.h"
#include "app/SimulatorApp.h"
#include "support/FakeHost.h"
#include "track/BuiltinLayouts.h"
#include "track/TrackLayout.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace quillon {
namespace {

HINSTANCE instance() {
    return GetModuleHandleA(nullptr);
}

std::string titleOf(HWND window) {
    char title[128] = {};
    GetWindowTextA(window, title, sizeof title);
    return title;
}

// Handles what is waiting in this thread's queue.
void pumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// The main window on a real host, without the application.
class MainWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(registerWindowClass(instance()));
        window = createMainWindow(host);
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override {
        if (IsWindow(window))
            DestroyWindow(window);
        unregisterWindowClass(instance());
    }

    Win32Host host{instance()};
    HWND window = nullptr;
};

TEST_F(MainWindowTest, ClassHasTheStylesIconsCursorAndBackground) {
    WNDCLASSEXA info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetClassInfoExA(instance(), "quillon", &info));
    EXPECT_EQ(info.style, 0x23u);
    EXPECT_EQ(info.lpfnWndProc, &mainWindowProcedure);
    EXPECT_EQ(info.cbClsExtra, 0);
    EXPECT_EQ(info.cbWndExtra, 0);
    EXPECT_NE(info.hIcon, nullptr);
    EXPECT_NE(info.hIconSm, nullptr);
    EXPECT_EQ(info.hCursor, LoadCursorA(nullptr, IDC_ARROW));
    EXPECT_EQ(info.hbrBackground, GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(info.lpszMenuName, nullptr);
    EXPECT_FALSE(registerWindowClass(instance()));
}

TEST_F(MainWindowTest, WindowIsHiddenWithCaptionAndCloseBoxOnly) {
    EXPECT_EQ(host.window(), window);
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_EQ(titleOf(window), "Quillon");
    const LONG style = GetWindowLongA(window, GWL_STYLE);
    EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU), WS_CAPTION | WS_SYSMENU);
    EXPECT_EQ(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);
    EXPECT_EQ(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_CLIENTEDGE, WS_EX_CLIENTEDGE);
}

TEST_F(MainWindowTest, TrayIconLivesFromCreationToDestruction) {
    const NOTIFYICONDATAA& record = host.tray().record();
    EXPECT_EQ(record.cbSize, NOTIFYICONDATAA_V1_SIZE);
    EXPECT_EQ(record.hWnd, window);
    EXPECT_EQ(record.uID, 0u);
    EXPECT_EQ(record.uFlags, 7u);
    EXPECT_EQ(record.uCallbackMessage, 1029u);
    EXPECT_NE(record.hIcon, nullptr);
    EXPECT_STREQ(record.szTip, "Quillon");
    EXPECT_TRUE(host.hasTrayIcon());
    DestroyWindow(window);
    EXPECT_FALSE(host.hasTrayIcon());
    EXPECT_EQ(host.window(), nullptr);
}

struct ResultCase {
    const char* name;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    LRESULT expected;
};

TEST_F(MainWindowTest, MessagesReturnTheirFixedResultsBeforeTheApplicationExists) {
    const ResultCase cases[] = {
        {"close box", WM_CLOSE, 0, 0, 1},
        {"minimised", WM_SIZE, SIZE_MINIMIZED, 0, 0},
        {"resized", WM_SIZE, SIZE_RESTORED, MAKELPARAM(512, 320), 1},
        {"menu command", WM_COMMAND, CMD_ABOUT, 0, 0},
        {"tray click", TRAY_CALLBACK, 0, WM_LBUTTONDOWN, 1},
        {"tray click of another icon", TRAY_CALLBACK, 1, WM_RBUTTONDOWN, 1},
        {"destroy", WM_DESTROY, 0, 0, 1},
    };
    for (const ResultCase& c : cases)
        EXPECT_EQ(SendMessageA(window, c.message, c.wParam, c.lParam), c.expected) << c.name;
    EXPECT_TRUE(IsWindow(window));
}

// The whole program on one thread: window, host and application.
class MainWindowAppTest : public MainWindowTest {
  protected:
    void SetUp() override {
        testing::resetCoreState();
        setHost(&host);
        MainWindowTest::SetUp();
        app = std::make_unique<SimulatorApp>(host);
        application = app.get();
    }
    void TearDown() override {
        application = nullptr;
        app.reset();
        MainWindowTest::TearDown();
        setHost(nullptr);
        testing::resetCoreState();
    }
    void sendKey(int key, bool control) {
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[VK_CONTROL] = keys[VK_LCONTROL] = control ? 0x80 : 0;
        SetKeyboardState(keys);
        lastKeyResult = SendMessageA(window, WM_KEYDOWN, key, 1);
        keys[VK_CONTROL] = keys[VK_LCONTROL] = 0;
        SetKeyboardState(keys);
    }

    std::unique_ptr<SimulatorApp> app;
    LRESULT lastKeyResult = -1;
};

TEST_F(MainWindowAppTest, StartsHiddenWithLayoutAInAnExact512By320ClientArea) {
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_EQ(titleOf(window), "Quillon [Track Model A]");
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 512);
    EXPECT_EQ(client.bottom, 320);
    EXPECT_NE(host.backBufferDc(), nullptr);
}

TEST_F(MainWindowAppTest, KeysChooseTheLayoutAndControlCCopiesTheSwitches) {
    sendKey('B', false);
    EXPECT_EQ(titleOf(window), "Quillon [Track Model B]");
    sendKey(VK_F1, false);
    EXPECT_EQ(titleOf(window), "Quillon [Track Model A]");

    ASSERT_TRUE(host.setClipboardText("untouched"));
    sendKey('C', false);
    EXPECT_EQ(clipboardText(), "untouched");
    sendKey('C', true);
    EXPECT_EQ(lastKeyResult, 0);
    const std::string copied = clipboardText();
    EXPECT_EQ(copied.size(), 486u);
    EXPECT_EQ(copied.rfind("{\r\n\tSWITCH_DIR_CURVED,\r\n", 0), 0u);
}

TEST_F(MainWindowAppTest, TrayClicksToggleTheWindowAndCloseBoxHides) {
    SendMessageA(window, TRAY_CALLBACK, 1, WM_LBUTTONDOWN);
    EXPECT_FALSE(IsWindowVisible(window));
    SendMessageA(window, TRAY_CALLBACK, 0, WM_LBUTTONDOWN);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_TRUE(shownByUser);
    EXPECT_EQ(SendMessageA(window, WM_CLOSE, 0, 0), 1);
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_TRUE(IsWindow(window));
    SendMessageA(window, TRAY_CALLBACK, 0, WM_LBUTTONDOWN);
    SendMessageA(window, TRAY_CALLBACK, 0, WM_LBUTTONDOWN);
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_FALSE(shownByUser);
}

TEST_F(MainWindowAppTest, PaintComposesTheFrameAndCopiesItToTheWindow) {
    SendMessageA(window, WM_COMMAND, CMD_SHOW, 0);
    ASSERT_TRUE(IsWindowVisible(window));
    InvalidateRect(window, nullptr, FALSE);
    UpdateWindow(window);

    // The marker of the first sensor: a yellow disc on its node.
    const TrackLayout& layout = activeLayout();
    const TrackNode* sensor = nullptr;
    for (int i = 0; i < layout.nodeCount && sensor == nullptr; ++i)
        if (layout.nodes[i].type == NODE_SENSOR)
            sensor = &layout.nodes[i];
    ASSERT_NE(sensor, nullptr);
    const COLORREF yellow = RGB(255, 255, 0);
    EXPECT_EQ(GetPixel(host.backBufferDc(), sensor->x, sensor->y), yellow);
    EXPECT_EQ(GetPixel(host.backBufferDc(), 0, 0), RGB(0, 0, 0));
    HDC windowDc = GetDC(window);
    EXPECT_EQ(GetPixel(windowDc, sensor->x, sensor->y), yellow);
    ReleaseDC(window, windowDc);
}

// Picks the first entry of the popup menu that is open on this thread.
void CALLBACK chooseFirstEntry(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    HWND menu = FindWindowA("#32768", nullptr);
    PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
}

TEST_F(MainWindowAppTest, ChosenMenuEntryArrivesAfterTheMenuHasClosed) {
    SendMessageA(window, WM_COMMAND, CMD_SHOW, 0);
    ASSERT_TRUE(shownByUser);
    // A right click on empty space opens the window menu; its first entry
    // is Hide.
    SetTimer(nullptr, 0, 300, chooseFirstEntry);
    SendMessageA(window, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(2, 2));
    EXPECT_TRUE(IsWindowVisible(window));
    pumpMessages();
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_FALSE(shownByUser);
}

} // namespace
} // namespace quillon
