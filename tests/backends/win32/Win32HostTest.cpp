#include "backends/win32/Win32Host.h"

#include <gtest/gtest.h>

#include <string>

namespace quillon {
namespace {

// The clipboard's plain text, read back as another program would.
std::string clipboardText() {
    if (!OpenClipboard(nullptr))
        return "<not open>";
    HANDLE data = GetClipboardData(CF_TEXT);
    const char* bytes = data != nullptr ? static_cast<const char*>(GlobalLock(data)) : nullptr;
    std::string text = bytes != nullptr ? bytes : "<none>";
    if (bytes != nullptr)
        GlobalUnlock(data);
    CloseClipboard();
    return text;
}

TEST(Win32HostTest, CreatesTheFontWithExactlyTheRequestedArgumentsAndMeasuresIt) {
    Win32Host host(GetModuleHandleA(nullptr));
    // Distinct values, so that two arguments swapped show.
    const long want[] = {-8, 5, 10, 20, 700, 1, 0, 1, 2, 3, 4, 5, 0x31};
    FontHandle font = host.createFont({"Terminal", -8, 5, 10, 20, 700, 1, 0, 1, 2, 3, 4, 5, 0x31});
    LOGFONTA f{};
    ASSERT_EQ(GetObjectA(reinterpret_cast<HFONT>(font), sizeof f, &f), int{sizeof f});
    const long got[] = {f.lfHeight,        f.lfWidth,        f.lfEscapement,    f.lfOrientation,
                        f.lfWeight,        f.lfItalic,       f.lfUnderline,     f.lfStrikeOut,
                        f.lfCharSet,       f.lfOutPrecision, f.lfClipPrecision, f.lfQuality,
                        f.lfPitchAndFamily};
    for (int i = 0; i < 13; ++i)
        EXPECT_EQ(got[i], want[i]) << "argument " << i + 2;
    EXPECT_STREQ(f.lfFaceName, "Terminal");

    // The metrics are those of this font, not of the one a device context
    // had before.
    FontMetrics metrics{};
    ASSERT_TRUE(host.measureFont(font, metrics));
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HFONT>(font));
    TEXTMETRICA drawn{};
    GetTextMetricsA(dc, &drawn);
    SelectObject(dc, previous);
    DeleteDC(dc);
    host.deleteFont(font);
    EXPECT_EQ(metrics.averageCharWidth, drawn.tmAveCharWidth);
    EXPECT_EQ(metrics.cellHeight, drawn.tmHeight);
}

TEST(Win32HostTest, ClipboardTakesTheTextAndReplacesWhatWasThere) {
    Win32Host host(GetModuleHandleA(nullptr));
    for (const char* text : {"{\r\n\tSWITCH_DIR_CURVED,\r\n\tSWITCH_DIR_STRAIGHT,\r\n}\r\n", ""}) {
        ASSERT_TRUE(host.setClipboardText(text));
        EXPECT_EQ(clipboardText(), text);
    }
}

TEST(Win32HostTest, TheExecutableCarriesTheIconsAndSounds) {
    for (int id : {QUILLON_ICON_LARGE, QUILLON_ICON_SMALL})
        EXPECT_NE(FindResourceA(nullptr, MAKEINTRESOURCEA(id), RT_GROUP_ICON), nullptr) << id;
    for (int id = QUILLON_SOUND_SWITCH; id <= QUILLON_SOUND_TRAIN_PLACED; ++id)
        EXPECT_NE(FindResourceA(nullptr, MAKEINTRESOURCEA(id), "WAVE"), nullptr) << id;
}

} // namespace
} // namespace quillon
