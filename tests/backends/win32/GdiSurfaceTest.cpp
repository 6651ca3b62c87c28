#include "backends/win32/GdiSurface.h"

#include <gtest/gtest.h>

namespace quillon {
namespace {

constexpr Colour WHITE = rgb(255, 255, 255), BLACK = rgb(0, 0, 0), RED = rgb(255, 0, 0);

// A bitmap font on a back buffer compatible with the screen: every pixel of a
// cell is the text's colour or the background.
TEST(GdiSurfaceTest, TextIsOnItsBackgroundColourOrTransparent) {
    GdiBackBuffer buffer;
    HDC screen = GetDC(nullptr);
    ASSERT_TRUE(buffer.create(screen, 64, 48));
    ReleaseDC(nullptr, screen);
    Surface& surface = buffer.surface();
    surface.fillRect(0, 0, 64, 48, WHITE);
    surface.selectFont(reinterpret_cast<FontHandle>(GetStockObject(SYSTEM_FIXED_FONT)));
    surface.setTextColour(RED);
    surface.setBackgroundTransparent();
    surface.textOut(0, 24, "W", 1);
    surface.setBackgroundOpaque(BLACK); // a background colour, not "no background"
    surface.textOut(0, 0, "W", 1);
    TEXTMETRICA cell{};
    ASSERT_TRUE(GetTextMetricsA(buffer.dc(), &cell));
    const auto at = [&](int x, int y) { return GetPixel(buffer.dc(), x, y); };
    int red = 0, opaque = 0, transparent = 0;
    for (int y = 0; y < cell.tmHeight; ++y)
        for (int x = 0; x < cell.tmAveCharWidth; ++x) {
            red += (at(x, y) == RED) + (at(x, 24 + y) == RED);
            opaque += at(x, y) == RED || at(x, y) == BLACK;
            transparent += at(x, 24 + y) == RED || at(x, 24 + y) == WHITE;
        }
    EXPECT_GT(red, 1);
    EXPECT_EQ(opaque, cell.tmAveCharWidth * cell.tmHeight);
    EXPECT_EQ(transparent, cell.tmAveCharWidth * cell.tmHeight);
}

} // namespace
} // namespace quillon
