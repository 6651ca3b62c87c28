#include "view/TextPainter.h"

#include "support/FakeHost.h"

#include <gtest/gtest.h>

#include <tuple>

namespace quillon {
namespace {

TEST(TextPainterTest, KeepsOneMeasuredFontUntilReleased) {
    testing::HostScope scope;
    testing::FakeHost& host = scope.host;
    host.dpi = 90; // 6 points are 7.5 pixels: rounded away from zero
    host.metrics = {7, 12};
    TextPainter painter(host, "Terminal", 6);
    EXPECT_EQ(std::tuple(host.fontRequests.back().height, painter.charWidth, painter.charHeight),
              std::tuple(-8, 7, 12));
    FontHandle first = painter.font;
    EXPECT_TRUE(painter.createFont("Other"));
    EXPECT_EQ(painter.font, first);
    painter.releaseFont();
    painter.releaseFont();
    EXPECT_EQ(host.deletedFonts, std::vector<FontHandle>{first});
    EXPECT_TRUE(painter.createFont("Other"));
    EXPECT_NE(painter.font, first);

    host.failMeasure = true;
    TextPainter unmeasured(host, "Terminal", 6);
    EXPECT_EQ(std::tuple(unmeasured.created, unmeasured.font, host.deletedFonts.size()),
              std::tuple(false, 0u, 2u))
        << "a font that cannot be measured is deleted";
}

TEST(TextPainterTest, DrawsTheAskedLengthOnTheAskedBackground) {
    testing::HostScope scope;
    TextPainter painter(scope.host, "Terminal", 6);
    testing::RecordingSurface surface;
    painter.drawText(surface, 5, 6, "CRASHED!", 0);
    painter.drawText(surface, 5, 6, "CRASHED!", 3);
    painter.drawText(surface, 5, 6, "AB", 40); // never past the end
    painter.backgroundColour = 0;              // black is a colour
    painter.drawText(surface, 5, 6, "X", 0);
    auto& texts = surface.texts;
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_EQ(std::tuple(texts[0].text, texts[1].text, texts[2].text),
              std::tuple("CRASHED!", "CRA", "AB"));
    EXPECT_EQ(std::tuple(texts[2].font, texts[2].background, texts[3].background),
              std::tuple(painter.font, NO_BACKGROUND, 0u));
}

} // namespace
} // namespace quillon
