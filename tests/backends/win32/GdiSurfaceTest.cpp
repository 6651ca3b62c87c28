#include "backends/win32/GdiSurface.h"

#include <gtest/gtest.h>

namespace quillon {
namespace {

constexpr Colour WHITE = rgb(255, 255, 255), BLACK = rgb(0, 0, 0), RED = rgb(255, 0, 0);
constexpr COLORREF RED_PIXEL = RGB(255, 0, 0), BLACK_PIXEL = RGB(0, 0, 0),
                   WHITE_PIXEL = RGB(255, 255, 255);

// A bitmap font on a back buffer compatible with the screen: every pixel of a
// cell is the text's colour or the background.
TEST(GdiSurfaceTest, TextIsOnItsBackgroundColourOrTransparent) {
    GdiBackBuffer buffer;
    HDC screen = GetDC(nullptr);
    ASSERT_TRUE(buffer.create(screen, 64, 48));
    ReleaseDC(nullptr, screen);
    Surface& surface = buffer.surface();
    surface.fillRect(0, 0, 64, 48, WHITE);
    const auto font = reinterpret_cast<FontHandle>(GetStockObject(SYSTEM_FIXED_FONT));
    surface.drawText(0, 24, "W", 1, TextStyle{font, RED, false, BLACK});
    // Black is a background colour like any other.
    surface.drawText(0, 0, "W", 1, TextStyle{font, RED, true, BLACK});
    TEXTMETRICA cell{};
    ASSERT_TRUE(GetTextMetricsA(buffer.dc(), &cell));
    const auto at = [&](int x, int y) { return GetPixel(buffer.dc(), x, y); };
    int red = 0, opaque = 0, transparent = 0;
    for (int y = 0; y < cell.tmHeight; ++y)
        for (int x = 0; x < cell.tmAveCharWidth; ++x) {
            red += (at(x, y) == RED_PIXEL) + (at(x, 24 + y) == RED_PIXEL);
            opaque += at(x, y) == RED_PIXEL || at(x, y) == BLACK_PIXEL;
            transparent += at(x, 24 + y) == RED_PIXEL || at(x, 24 + y) == WHITE_PIXEL;
        }
    EXPECT_GT(red, 1);
    EXPECT_EQ(opaque, cell.tmAveCharWidth * cell.tmHeight);
    EXPECT_EQ(transparent, cell.tmAveCharWidth * cell.tmHeight);
}

} // namespace
} // namespace quillon
