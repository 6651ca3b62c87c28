#include "view/Primitives.h"

#include "support/FakeHost.h"
#include "view/TextPainter.h"

#include <gtest/gtest.h>

#include <array>

namespace quillon {
namespace {

using testing::DrawCall;

TEST(PrimitivesTest, GeometryOfRectanglesAndDiscs) {
    testing::RecordingSurface surface;
    fillCentredRect(surface, 100, 50, 20, 12, 7);
    fillCentredRect(surface, 100, 50, 21, 13, 7); // odd sizes lose their last pixel
    fillCentredRect(surface, -3, -3, -4, 2, 7);   // half sizes shift arithmetically
    fillDisc(surface, 10, 20, 8, 9);
    drawLine(surface, 1, 2, 3, 4, 5);
    const int expected[][4] = {
        {90, 44, 110, 56}, {90, 44, 110, 56}, {-1, -4, -5, -2}, {2, 12, 18, 28}, {1, 2, 3, 4}};
    ASSERT_EQ(surface.calls.size(), 5u);
    for (std::size_t i = 0; i < 5; ++i) {
        const DrawCall& call = surface.calls[i];
        EXPECT_EQ((std::array{call.a, call.b, call.c, call.d}),
                  (std::array{expected[i][0], expected[i][1], expected[i][2], expected[i][3]}))
            << "call " << i;
    }
    EXPECT_EQ(surface.calls[3].kind, DrawCall::FillEllipse);
    EXPECT_EQ(surface.calls[4].kind, DrawCall::Line);
}

TEST(PrimitivesTest, CentredTextUsesTheMeasuredCell) {
    testing::HostScope scope;
    scope.host.metrics = {6, 9};
    TextPainter painter(scope.host, "Terminal", 6);
    testing::RecordingSurface surface;
    drawCentredText(surface, &painter, 100, 50, "CRASHED!", 0xFF, NO_BACKGROUND);
    drawCentredText(surface, &painter, 100, 50, "07", 0xFF, 0x10);
    drawCentredText(surface, nullptr, 100, 50, "none", 0xFF, NO_BACKGROUND);
    auto texts = surface.callsOf(DrawCall::Text);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].a, 100 - 24); // (6 x 8) >> 1
    EXPECT_EQ(texts[0].b, 50 - 4);   // 9 >> 1
    EXPECT_EQ(texts[1].a, 100 - 6);
    EXPECT_EQ(painter.textColour, 0xFFu);
    EXPECT_EQ(painter.backgroundColour, 0x10u);
}

} // namespace
} // namespace quillon
