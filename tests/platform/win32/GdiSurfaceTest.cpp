#include "platform/win32/GdiSurface.h"

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
        buffer.surface().fillRect(0, 0, 64, 48, WHITE);
    }
    Colour pixel(int x, int y) { return GetPixel(buffer.dc(), x, y); }

    GdiBackBuffer buffer;
};

struct PixelCase {
    int x, y;
    Colour expected;
};

void expectPixels(HDC dc, std::initializer_list<PixelCase> cases) {
    for (const PixelCase& c : cases)
        EXPECT_EQ(GetPixel(dc, c.x, c.y), c.expected) << "at (" << c.x << ", " << c.y << ")";
}

TEST_F(GdiSurfaceTest, FillRectCoversTheBoxWithoutItsRightAndBottomEdges) {
    buffer.surface().fillRect(10, 20, 30, 32, RED);
    expectPixels(buffer.dc(), {{10, 20, RED},
                               {29, 31, RED},
                               {30, 20, WHITE},
                               {10, 32, WHITE},
                               {9, 25, WHITE},
                               {20, 19, WHITE}});
}

TEST_F(GdiSurfaceTest, FillEllipseIsFilledAndOutlinedInBlack) {
    // The disc of radius 8 around (24, 24), as the layout's hover halo.
    buffer.surface().fillEllipse(16, 16, 32, 32, YELLOW);
    expectPixels(buffer.dc(), {{24, 24, YELLOW},
                               {24, 16, BLACK},
                               {16, 24, BLACK},
                               {24, 15, WHITE},
                               {15, 24, WHITE},
                               {16, 16, WHITE}});
}

TEST_F(GdiSurfaceTest, DrawLineLeavesTheEndPointUnpainted) {
    buffer.surface().drawLine(5, 5, 15, 5, BLUE);
    buffer.surface().drawLine(40, 10, 40, 20, RED);
    expectPixels(buffer.dc(), {{5, 5, BLUE},
                               {14, 5, BLUE},
                               {15, 5, WHITE},
                               {5, 6, WHITE},
                               {40, 10, RED},
                               {40, 19, RED},
                               {40, 20, WHITE}});
}

// Counts the pixels of a colour in a box.
int count(HDC dc, RECT box, Colour colour) {
    int n = 0;
    for (int y = box.top; y < box.bottom; ++y)
        for (int x = box.left; x < box.right; ++x)
            n += GetPixel(dc, x, y) == colour;
    return n;
}

TEST_F(GdiSurfaceTest, TextIsDrawnFromTheCellsTopLeftWithOrWithoutBackground) {
    HFONT font = CreateFontA(-8, 0, 0, 0, 0, 0, 0, 0, DEFAULT_CHARSET, 0, 0, NONANTIALIASED_QUALITY,
                             FIXED_PITCH, "Terminal");
    ASSERT_NE(font, nullptr);
    Surface& surface = buffer.surface();
    surface.selectFont(reinterpret_cast<FontHandle>(font));
    surface.selectFont(0); // keeps the font
    EXPECT_EQ(GetCurrentObject(buffer.dc(), OBJ_FONT), font);
    TEXTMETRICA metrics{};
    ASSERT_TRUE(GetTextMetricsA(buffer.dc(), &metrics));
    const int cellWidth = metrics.tmAveCharWidth * 3, cellHeight = metrics.tmHeight;

    surface.setTextColour(RED);
    surface.setBackgroundTransparent();
    surface.textOut(4, 4, "WWWxxx", 3);
    const RECT cell{4, 4, 4 + cellWidth, 4 + cellHeight};
    EXPECT_GT(count(buffer.dc(), cell, RED), 0);
    EXPECT_EQ(count(buffer.dc(), cell, RED) + count(buffer.dc(), cell, WHITE),
              cellWidth * cellHeight);
    EXPECT_EQ(count(buffer.dc(), {4 + cellWidth, 4, 64, 4 + cellHeight}, RED), 0);

    // A black background is a colour, not "no background".
    surface.setBackgroundOpaque(BLACK);
    surface.textOut(4, 24, "WWW", 3);
    const RECT opaque{4, 24, 4 + cellWidth, 24 + cellHeight};
    EXPECT_GT(count(buffer.dc(), opaque, BLACK), 0);
    EXPECT_EQ(count(buffer.dc(), opaque, WHITE), 0);

    SelectObject(buffer.dc(), GetStockObject(SYSTEM_FONT));
    DeleteObject(font);
}

TEST_F(GdiSurfaceTest, PresentCopiesTheFrameFromTheOrigin) {
    buffer.surface().fillRect(0, 0, 8, 8, RED);
    GdiBackBuffer target;
    HDC screen = GetDC(nullptr);
    ASSERT_TRUE(target.create(screen, 64, 48));
    ReleaseDC(nullptr, screen);
    target.surface().fillRect(0, 0, 64, 48, BLACK);
    buffer.present(target.dc(), 6, 48);
    expectPixels(target.dc(), {{0, 0, RED}, {5, 7, RED}, {6, 0, BLACK}, {20, 20, BLACK}});
}

} // namespace
} // namespace quillon
