#include "view/TextPainter.h"

#include "support/FakeHost.h"

#include <gtest/gtest.h>

namespace quillon {
namespace {

using testing::DrawCall;

class TextPainterTest : public ::testing::Test {
  protected:
    testing::HostScope scope;
    testing::FakeHost& host = scope.host;
};

TEST_F(TextPainterTest, AsksForTheCharacterHeightOfThePointSize) {
    // point size x resolution / 72, rounded to nearest, halves away from zero.
    for (auto [dpi, height] : {std::pair{96, -8}, {90, -8}}) {
        host.dpi = dpi;
        TextPainter painter(host, "Terminal", 6);
        const FontRequest& request = host.fontRequests.back();
        EXPECT_EQ(request.height, height) << dpi << " dpi";
        EXPECT_EQ(request.quality, 3);
        EXPECT_EQ(request.pitchAndFamily, 1);
    }
}

TEST_F(TextPainterTest, KeepsOneFontUntilReleased) {
    host.metrics = {7, 12};
    TextPainter painter(host, "Terminal", 6);
    EXPECT_EQ(painter.charWidth, 7);
    EXPECT_EQ(painter.charHeight, 12);
    FontHandle first = painter.font;
    EXPECT_TRUE(painter.createFont("Other"));
    EXPECT_EQ(painter.font, first);
    painter.releaseFont();
    painter.releaseFont();
    EXPECT_FALSE(painter.created);
    EXPECT_EQ(host.deletedFonts, std::vector<FontHandle>{first});
    EXPECT_TRUE(painter.createFont("Other"));
    EXPECT_NE(painter.font, first);

    host.failMeasure = true;
    TextPainter unmeasured(host, "Terminal", 6);
    EXPECT_FALSE(unmeasured.created);
    EXPECT_EQ(unmeasured.font, 0u);
    EXPECT_EQ(unmeasured.charWidth, 0);
    EXPECT_EQ(host.deletedFonts.size(), 2u) << "a font that cannot be measured is deleted";
}

TEST_F(TextPainterTest, DrawsTheAskedLengthOnTheAskedBackground) {
    TextPainter painter(host, "Terminal", 6);
    testing::RecordingSurface surface;
    painter.drawText(surface, 5, 6, "CRASHED!", 0);
    painter.drawText(surface, 5, 6, "CRASHED!", 3);
    painter.drawText(surface, 5, 6, "AB", 40); // never past the end
    painter.backgroundColour = 0;              // black is a colour
    painter.drawText(surface, 5, 6, "X", 0);
    auto texts = surface.callsOf(DrawCall::Text);
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_EQ(texts[0].text, "CRASHED!");
    EXPECT_EQ(texts[1].text, "CRA");
    EXPECT_EQ(texts[2].text, "AB");
    EXPECT_EQ(texts[0].font, painter.font);
    EXPECT_EQ(surface.callsOf(DrawCall::BackgroundTransparent).size(), 3u);
    EXPECT_EQ(surface.callsOf(DrawCall::BackgroundOpaque).at(0).colour, 0u);
}

} // namespace
} // namespace quillon
