#include "backends/win32/Win32Host.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace quillon {
namespace {

using namespace std::string_literals;

// The font the host makes for labels, as the system records it.
LOGFONTA labelFont(Win32Host& host) {
    FontHandle font = host.createFont(FontPurpose::Labels);
    LOGFONTA record{};
    GetObjectA(reinterpret_cast<HFONT>(font), sizeof record, &record);
    host.deleteFont(font);
    return record;
}

int screenDpiY() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

class Win32HostTest : public ::testing::Test {
protected:
    Win32Host host{GetModuleHandleA(nullptr)};
    // A save dialog for data files, the second filter selected, no option.
    SaveDialogRequest data{
        {{"Data (*.dat)", "*.dat"}, {"All (*.*)", "*.*"}}, 2, 1, "dat", false, false, false};
    char path[16] = "";
    SaveDialog dialog;
};

// Negative: the character height without the internal leading, 6 points
// at the screen's resolution rounded to the nearest pixel.
TEST_F(Win32HostTest, TheLabelFontIsSixPointsHigh) {
    EXPECT_EQ(labelFont(host).lfHeight, -((6 * screenDpiY() + 36) / 72));
}

TEST_F(Win32HostTest, TheLabelFontIsFixedPitchWithoutAntialiasing) {
    const LOGFONTA f = labelFont(host);
    EXPECT_EQ(f.lfPitchAndFamily, FIXED_PITCH);
    EXPECT_EQ(f.lfQuality, NONANTIALIASED_QUALITY);
}

TEST_F(Win32HostTest, EachDialogOptionSetsItsFlagBesideTheExplorerStyle) {
    const std::pair<bool SaveDialogRequest::*, DWORD> cases[] = {
        {nullptr, 0},
        {&SaveDialogRequest::promptOverwrite, OFN_OVERWRITEPROMPT},
        {&SaveDialogRequest::hideReadOnly, OFN_HIDEREADONLY},
        {&SaveDialogRequest::pathMustExist, OFN_PATHMUSTEXIST}};
    for (const auto& [option, flag] : cases) {
        SaveDialogRequest request = data;
        if (option != nullptr)
            request.*option = true;
        ASSERT_TRUE(prepareSaveDialog(request, nullptr, path, sizeof path, dialog));
        EXPECT_EQ(dialog.record.Flags, OFN_EXPLORER | flag) << flag;
    }
}

TEST_F(Win32HostTest, TheDialogRecordCarriesTheFiltersAndTheSelectedOne) {
    ASSERT_TRUE(prepareSaveDialog(data, nullptr, path, sizeof path, dialog));
    const OPENFILENAMEA& r = dialog.record;
    EXPECT_EQ(std::string(r.lpstrFilter, 34), "Data (*.dat)\0*.dat\0All (*.*)\0*.*\0\0"s);
    EXPECT_EQ(r.nFilterIndex, 2u) << "counted from 1";
}

TEST_F(Win32HostTest, FiltersBeyondTheRecordsRoomAreRefused) {
    const std::string label(250, 'x');
    data.filters[0].label = label.c_str();
    EXPECT_FALSE(prepareSaveDialog(data, nullptr, path, sizeof path, dialog));
}

TEST_F(Win32HostTest, ClipboardTakesTheTextAndReplacesWhatWasThere) {
    for (const char* text : {"{\r\n\tSWITCH_DIR_CURVED,\r\n}\r\n", ""}) {
        ASSERT_TRUE(host.setClipboardText(text));
        // Read back as another program would.
        ASSERT_TRUE(OpenClipboard(nullptr));
        HANDLE memory = GetClipboardData(CF_TEXT);
        EXPECT_STREQ(static_cast<const char*>(GlobalLock(memory)), text);
        GlobalUnlock(memory);
        CloseClipboard();
    }
}

// Counts the wakes for bytes on the link.
struct LinkWakes final : HostEvents {
    void onTimer(int) override {}
    void onSize(bool, int, int) override {}
    void onPaint() override {}
    void onClose() override {}
    bool onKeyDown(Key, bool) override { return false; }
    void onPointerMove(int, int) override {}
    void onButtonDown(int, int, PointerButton) override {}
    void onCommand(int) override {}
    void onTrayEvent(TrayEvent) override {}
    void onLinkReadable() override { ++count; }
    int count = 0;
};

// A pipe served by the test, its link connected and watched by the host.
class WatchedPipeTest : public Win32HostTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(link.connect());
        host.attach(&wakes);
        ASSERT_TRUE(host.watchLink(&link));
    }
    void TearDown() override {
        host.attach(nullptr);
        CloseHandle(server);
    }
    void send() {
        DWORD written = 0;
        WriteFile(server, "\x85", 1, &written, nullptr);
    }

    const std::string name = "\\\\.\\pipe\\quillon-host-" + std::to_string(GetCurrentProcessId());
    HANDLE server = CreateNamedPipeA(name.c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE | PIPE_WAIT,
                                     1, 4096, 4096, 0, nullptr);
    NamedPipeLink link{name.c_str()};
    LinkWakes wakes;
};

TEST_F(WatchedPipeTest, BytesWakeTheLoop) {
    send();
    int exitCode = 0;
    for (int i = 0; i < 100 && wakes.count == 0; ++i)
        host.dispatchNext(50, exitCode);
    EXPECT_EQ(wakes.count, 1);
}

TEST_F(WatchedPipeTest, TheLinkTimerOfModalLoopsWakesOnlyForBytes) {
    host.onLinkTimer();
    EXPECT_EQ(wakes.count, 0) << "nothing waits";
    send();
    WaitForSingleObject(link.readableEvent(), 5000);
    host.onLinkTimer();
    EXPECT_EQ(wakes.count, 1);
}

TEST_F(Win32HostTest, WithWokenReadsOffTheApplicationReadsOnItsTimer) {
    NamedPipeLink link("\\\\.\\pipe\\quillon-none");
    host.setWokenReads(false);
    EXPECT_FALSE(host.watchLink(&link));
}

} // namespace
} // namespace quillon
