#include "backends/win32/Win32Host.h"

#include <gtest/gtest.h>

#include <string>

namespace quillon {
namespace {

using namespace std::string_literals;

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

class Win32HostTest : public ::testing::Test {
protected:
    // The font the host made for the request, as the system records it.
    LOGFONTA fontOf(const FontRequest& request) {
        FontHandle font = host.createFont(request);
        LOGFONTA record{};
        EXPECT_EQ(GetObjectA(reinterpret_cast<HFONT>(font), sizeof record, &record),
                  int{sizeof record});
        host.deleteFont(font);
        return record;
    }

    Win32Host host{GetModuleHandleA(nullptr)};
};

TEST_F(Win32HostTest, TheFontHasTheCharacterHeightAndDefaultsForTheRest) {
    const LOGFONTA f = fontOf({"Terminal", 13, true, false});
    const long got[] = {f.lfHeight,  f.lfWidth,        f.lfEscapement,   f.lfOrientation,
                        f.lfWeight,  f.lfItalic,       f.lfUnderline,    f.lfStrikeOut,
                        f.lfCharSet, f.lfOutPrecision, f.lfClipPrecision};
    // Negative: the height without internal leading. Character set 1: the
    // default one.
    const long want[] = {-13, 0, 0, 0, FW_DONTCARE, 0, 0, 0, DEFAULT_CHARSET, 0, 0};
    for (int i = 0; i < 11; ++i)
        EXPECT_EQ(got[i], want[i]) << "field " << i;
    EXPECT_STREQ(f.lfFaceName, "Terminal");
}

TEST_F(Win32HostTest, PitchAndQualityFollowTheRequest) {
    struct {
        bool fixedPitch, antialiased;
        int pitch, quality;
    } const cases[] = {{true, false, FIXED_PITCH, NONANTIALIASED_QUALITY},
                       {false, true, DEFAULT_PITCH, DEFAULT_QUALITY}};
    for (const auto& c : cases) {
        const LOGFONTA f = fontOf({"Terminal", 13, c.fixedPitch, c.antialiased});
        EXPECT_EQ(f.lfPitchAndFamily, c.pitch) << "fixed pitch " << c.fixedPitch;
        EXPECT_EQ(f.lfQuality, c.quality) << "antialiased " << c.antialiased;
    }
}

TEST_F(Win32HostTest, MeasuresTheFontAsADeviceContextDrawsIt) {
    FontHandle font = host.createFont({"Terminal", 8, true, false});
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

SaveDialogRequest request(bool promptOverwrite, bool hideReadOnly, bool pathMustExist) {
    return {{{"Data (*.dat)", "*.dat"}, {"All (*.*)", "*.*"}},
            2,
            1,
            "dat",
            promptOverwrite,
            hideReadOnly,
            pathMustExist};
}

TEST_F(Win32HostTest, EachDialogOptionSetsItsFlagBesideTheExplorerStyle) {
    struct {
        SaveDialogRequest request;
        DWORD flags;
    } const cases[] = {{request(false, false, false), OFN_EXPLORER},
                       {request(true, false, false), OFN_EXPLORER | OFN_OVERWRITEPROMPT},
                       {request(false, true, false), OFN_EXPLORER | OFN_HIDEREADONLY},
                       {request(false, false, true), OFN_EXPLORER | OFN_PATHMUSTEXIST}};
    char path[16] = "";
    SaveDialog dialog;
    for (const auto& c : cases) {
        ASSERT_TRUE(prepareSaveDialog(c.request, nullptr, path, sizeof path, dialog));
        EXPECT_EQ(dialog.record.Flags, c.flags);
    }
}

TEST_F(Win32HostTest, TheDialogRecordCarriesTheRequest) {
    char path[16] = "tracka.dat";
    SaveDialog dialog;
    ASSERT_TRUE(prepareSaveDialog(request(true, true, true), nullptr, path, sizeof path, dialog));
    const OPENFILENAMEA& r = dialog.record;
    EXPECT_EQ(std::string(r.lpstrFilter, 34), "Data (*.dat)\0*.dat\0All (*.*)\0*.*\0\0"s);
    EXPECT_EQ(r.nFilterIndex, 2u) << "counted from 1";
    EXPECT_EQ(r.nMaxFile, sizeof path);
    EXPECT_STREQ(r.lpstrDefExt, "dat");
}

TEST_F(Win32HostTest, FiltersBeyondTheRecordsRoomAreRefused) {
    const std::string label(250, 'x');
    SaveDialogRequest tooLong = request(true, true, true);
    tooLong.filters[0].label = label.c_str();
    char path[16] = "";
    SaveDialog dialog;
    EXPECT_FALSE(prepareSaveDialog(tooLong, nullptr, path, sizeof path, dialog));
}

TEST_F(Win32HostTest, ClipboardTakesTheTextAndReplacesWhatWasThere) {
    for (const char* text : {"{\r\n\tSWITCH_DIR_CURVED,\r\n\tSWITCH_DIR_STRAIGHT,\r\n}\r\n", ""}) {
        ASSERT_TRUE(host.setClipboardText(text));
        EXPECT_EQ(clipboardText(), text);
    }
}

TEST_F(Win32HostTest, TheExecutableCarriesTheIconsAndEverySound) {
    for (int id : {QUILLON_ICON_LARGE, QUILLON_ICON_SMALL})
        EXPECT_NE(FindResourceA(nullptr, MAKEINTRESOURCEA(id), RT_GROUP_ICON), nullptr) << id;
    for (int sound = 0; sound < SOUND_COUNT; ++sound) {
        const int id = soundResourceId(static_cast<Sound>(sound));
        EXPECT_NE(FindResourceA(nullptr, MAKEINTRESOURCEA(id), "WAVE"), nullptr) << id;
    }
}

} // namespace
} // namespace quillon
