#include "platform/win32/Win32Host.h"

#include "ClipboardText.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>

namespace quillon {
namespace {

// What the text painter asks for: "Terminal" at 6 points on 96 dpi.
constexpr FontRequest TERMINAL_6PT{"Terminal", -8, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 3, 1};

TEST(Win32HostTest, CreatesTheFontWithExactlyTheRequestedArguments) {
    Win32Host host(GetModuleHandleA(nullptr));
    FontHandle font = host.createFont(TERMINAL_6PT);
    ASSERT_NE(font, 0u);
    LOGFONTA asked{};
    ASSERT_EQ(GetObjectA(reinterpret_cast<HFONT>(font), sizeof asked, &asked),
              static_cast<int>(sizeof asked));
    EXPECT_EQ(asked.lfHeight, -8);
    EXPECT_EQ(asked.lfWidth, 0);
    EXPECT_EQ(asked.lfEscapement, 0);
    EXPECT_EQ(asked.lfOrientation, 0);
    EXPECT_EQ(asked.lfWeight, 0);
    EXPECT_EQ(asked.lfItalic + asked.lfUnderline + asked.lfStrikeOut, 0);
    EXPECT_EQ(asked.lfCharSet, 1);
    EXPECT_EQ(asked.lfOutPrecision, 0);
    EXPECT_EQ(asked.lfClipPrecision, 0);
    EXPECT_EQ(asked.lfQuality, 3);
    EXPECT_EQ(asked.lfPitchAndFamily, 1);
    EXPECT_STREQ(asked.lfFaceName, "Terminal");
    host.deleteFont(font);
    EXPECT_EQ(GetObjectType(reinterpret_cast<HFONT>(font)), 0u);
}

TEST(Win32HostTest, MeasuresTheFontItDrawsWith) {
    Win32Host host(GetModuleHandleA(nullptr));
    EXPECT_GT(host.screenDpiY(), 0);
    FontMetrics metrics{};
    EXPECT_FALSE(host.measureFont(0, metrics));

    FontHandle font = host.createFont(TERMINAL_6PT);
    ASSERT_TRUE(host.measureFont(font, metrics));
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HFONT>(font));
    TEXTMETRICA drawn{};
    ASSERT_TRUE(GetTextMetricsA(dc, &drawn));
    SelectObject(dc, previous);
    DeleteDC(dc);
    EXPECT_EQ(metrics.averageCharWidth, drawn.tmAveCharWidth);
    EXPECT_EQ(metrics.cellHeight, drawn.tmHeight);
    EXPECT_GT(metrics.averageCharWidth, 0);
    EXPECT_GT(metrics.cellHeight, 0);
    host.deleteFont(font);
}

TEST(Win32HostTest, ClipboardTakesTheTextAndReplacesWhatWasThere) {
    Win32Host host(GetModuleHandleA(nullptr));
    const char* switches = "{\r\n\tSWITCH_DIR_CURVED,\r\n\tSWITCH_DIR_STRAIGHT,\r\n}\r\n";
    ASSERT_TRUE(host.setClipboardText(switches));
    EXPECT_EQ(clipboardText(), switches);
    ASSERT_TRUE(host.setClipboardText(""));
    EXPECT_EQ(clipboardText(), "");
}

TEST(Win32HostTest, ClipboardHeldOpenByAnotherThreadIsAFailure) {
    Win32Host host(GetModuleHandleA(nullptr));
    ASSERT_TRUE(host.setClipboardText("before"));
    HANDLE opened = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::thread holder([&] {
        HWND window = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 1, 1, HWND_MESSAGE, nullptr,
                                      nullptr, nullptr);
        if (window != nullptr && OpenClipboard(window)) {
            SetEvent(opened);
            WaitForSingleObject(release, 10000);
            CloseClipboard();
        }
        SetEvent(opened);
        DestroyWindow(window);
    });
    WaitForSingleObject(opened, 10000);
    EXPECT_FALSE(host.setClipboardText("after"));
    SetEvent(release);
    holder.join();
    EXPECT_EQ(clipboardText(), "before");
    CloseHandle(opened);
    CloseHandle(release);
}

TEST(Win32HostTest, CarriesTheIconsAndSoundsAndPlaysWithoutWaiting) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    for (int id : {QUILLON_ICON_LARGE, QUILLON_ICON_SMALL})
        EXPECT_NE(FindResourceA(instance, MAKEINTRESOURCEA(id), RT_GROUP_ICON), nullptr)
            << "icon " << id;
    Win32Host host(instance);
    for (int id = QUILLON_SOUND_SWITCH; id <= QUILLON_SOUND_TRAIN_PLACED; ++id) {
        HRSRC sound = FindResourceA(instance, MAKEINTRESOURCEA(id), "WAVE");
        ASSERT_NE(sound, nullptr) << "sound " << id;
        const auto* bytes = static_cast<const char*>(LockResource(LoadResource(instance, sound)));
        ASSERT_NE(bytes, nullptr);
        EXPECT_EQ(std::string(bytes, 4), "RIFF");
        EXPECT_EQ(std::string(bytes + 8, 4), "WAVE");
        // The longest sound lasts 3.5 s; an asynchronous start returns long before.
        const DWORD start = GetTickCount();
        host.playSound(id);
        EXPECT_LT(GetTickCount() - start, 1000u) << "sound " << id;
    }
}

} // namespace
} // namespace quillon
