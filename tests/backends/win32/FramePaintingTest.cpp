// The Windows program's frames, composed in part from the still image in a
// GDI memory bitmap, come out pixel for pixel as a full recomposition of the
// same world, over a randomized run of placements, movement, switches,
// hover, stuck sensors, track power, layout and size changes.
#include "app/SimulatorApp.h"
#include "backends/win32/MainWindow.h"
#include "backends/win32/Win32Host.h"
#include "support/CrowdedLayout.h"
#include "support/RandomChange.h"
#include "view/LayoutPainter.h"
#include "view/Palette.h"
#include "view/TextPainter.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace quillon {
namespace {

// The pixels of a device context's width x height, read through a DIB
// section, row by row from the top.
std::vector<std::uint32_t> pixelsOf(HDC source, int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, section);
    BitBlt(dc, 0, 0, width, height, source, 0, 0, SRCCOPY);
    GdiFlush();
    const auto* first = static_cast<const std::uint32_t*>(bits);
    std::vector<std::uint32_t> pixels(first, first + static_cast<std::size_t>(width) * height);
    SelectObject(dc, previous);
    DeleteDC(dc);
    DeleteObject(section);
    return pixels;
}

TEST(FramePaintingTest, FramesComposedInPartMatchFullRecompositions) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    const std::string pipe = "\\\\.\\pipe\\quillon-frames-" + std::to_string(GetCurrentProcessId());
    Win32Host host(instance, pipe.c_str());
    ASSERT_TRUE(registerWindowClass(instance));
    HWND window = createMainWindow(host);
    ASSERT_NE(window, nullptr);
    {
        SimulatorApp app(host);
        app.world().layouts.tracks[LAYOUT_LOADED] = testing::crowdedTrack(20, 20);
        app.onSize(false, app.width(), app.height());
        ASSERT_NE(host.stillImage().dc(), nullptr) << "frames are composed in part";
        TextPainter painter(host, FontPurpose::Labels);
        GdiBackBuffer full;
        HDC screen = GetDC(nullptr);
        std::mt19937 random(14);
        for (int frame = 0; frame < 1000; ++frame) {
            testing::randomChange(app, random);
            app.onPaint();
            const int width = app.width(), height = app.height();
            full.create(screen, width, height);
            full.surface().fillRect(0, 0, width, height, BLACK);
            drawLayout(full.surface(), &painter, app.world(), &app.names());
            drawNotice(full.surface(), &painter, noticeOf(app.world()), height);
            ASSERT_TRUE(pixelsOf(host.backBuffer().dc(), width, height) ==
                        pixelsOf(full.dc(), width, height))
                << "frame " << frame << " differs";
        }
        ReleaseDC(nullptr, screen);
    }
    DestroyWindow(window);
    unregisterWindowClass(instance);
}

} // namespace
} // namespace quillon
