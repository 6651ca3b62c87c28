#include "backends/win32/GdiSurface.h"

#include <gtest/gtest.h>

namespace quillon {
namespace {

constexpr Colour WHITE = rgb(255, 255, 255);
constexpr Colour BLACK = rgb(0, 0, 0);
constexpr Colour RED = rgb(255, 0, 0);
constexpr Colour YELLOW = rgb(255, 255, 0);
constexpr Colour BLUE = rgb(64, 160, 255);

// A 64 x 48 back buffer compatible with the screen, cleared to white.
class GdiSurfaceTest : public ::testing::Test {
protected:
    void SetUp() override {
        HDC screen = GetDC(nullptr);
        ASSERT_TRUE(buffer.create(screen, 64, 48));
        ReleaseDC(nullptr, screen);
        surface.fillRect(0, 0, 64, 48, WHITE);
    }
    // The pixels of a colour in the box.
    int count(RECT box, Colour colour) {
        int n = 0;
        for (int y = box.top; y < box.bottom; ++y)
            for (int x = box.left; x < box.right; ++x)
                n += GetPixel(buffer.dc(), x, y) == colour;
        return n;
    }

    GdiBackBuffer buffer;
    Surface& surface = buffer.surface();
};

TEST_F(GdiSurfaceTest, ShapesCoverTheirPixelsAndNoMore) {
    surface.fillRect(2, 2, 12, 10, RED);
    surface.fillEllipse(24, 8, 40, 24, YELLOW); // radius 8 around (32, 16)
    surface.drawLine(44, 4, 54, 4, BLUE);
    struct {
        int x, y;
        Colour expected;
    } const pixels[] = {
        {2, 2, RED},      {11, 9, RED},   {12, 2, WHITE},  {2, 10, WHITE},  // right, bottom open
        {32, 16, YELLOW}, {32, 8, BLACK}, {24, 16, BLACK}, {32, 7, WHITE},  // outlined disc
        {24, 8, WHITE},   {44, 4, BLUE},  {53, 4, BLUE},   {54, 4, WHITE}}; // end point open
    for (const auto& p : pixels)
        EXPECT_EQ(GetPixel(buffer.dc(), p.x, p.y), p.expected) << "at " << p.x << ", " << p.y;
}

TEST_F(GdiSurfaceTest, TextIsOnItsBackgroundColourOrTransparent) {
    // A bitmap font: every pixel is the text's colour or the background.
    surface.selectFont(reinterpret_cast<FontHandle>(GetStockObject(SYSTEM_FIXED_FONT)));
    TEXTMETRICA metrics{};
    ASSERT_TRUE(GetTextMetricsA(buffer.dc(), &metrics));
    const int width = metrics.tmAveCharWidth * 3, height = metrics.tmHeight;
    surface.setTextColour(RED);
    // Black is a background colour, not "no background".
    surface.setBackgroundOpaque(BLACK);
    surface.textOut(0, 0, "WWW", 3);
    surface.setBackgroundTransparent();
    surface.textOut(0, 24, "WWW", 3);

    const RECT opaque{0, 0, width, height}, transparent{0, 24, width, 24 + height};
    EXPECT_GT(count(opaque, RED), 0);
    EXPECT_EQ(count(opaque, RED) + count(opaque, BLACK), width * height);
    EXPECT_GT(count(transparent, RED), 0);
    EXPECT_EQ(count(transparent, RED) + count(transparent, WHITE), width * height);
}

} // namespace
} // namespace quillon
