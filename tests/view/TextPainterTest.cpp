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
    struct Row {
        int dpi, points, height;
    };
    // point size x resolution / 72, rounded to nearest (halves away from zero).
    for (Row row : {Row{96, 6, -8}, Row{120, 6, -10}, Row{100, 6, -8}, Row{90, 6, -8},
                    Row{144, 6, -12}, Row{96, 9, -12}}) {
        host.fontRequests.clear();
        host.dpi = row.dpi;
        TextPainter painter(host, "Terminal", row.points);
        ASSERT_EQ(host.fontRequests.size(), 1u);
        const FontRequest& request = host.fontRequests[0];
        EXPECT_EQ(request.height, row.height) << row.dpi << " dpi, " << row.points << " pt";
        EXPECT_STREQ(request.face, "Terminal");
        EXPECT_EQ(request.width, 0);
        EXPECT_EQ(request.weight, 0);
        EXPECT_EQ(request.charSet, 1);
        EXPECT_EQ(request.quality, 3);
        EXPECT_EQ(request.pitchAndFamily, 1);
    }
}

TEST_F(TextPainterTest, LifecycleKeepsOneFontAndMetrics) {
    host.metrics = {7, 12};
    TextPainter painter(host, "Terminal", 6);
    EXPECT_TRUE(painter.created);
    EXPECT_EQ(painter.charWidth, 7);
    EXPECT_EQ(painter.charHeight, 12);
    EXPECT_EQ(painter.textColour, 0u);
    EXPECT_EQ(painter.backgroundColour, NO_BACKGROUND);
    FontHandle first = painter.font;

    EXPECT_TRUE(painter.createFont("Other"));
    EXPECT_EQ(painter.font, first);
    EXPECT_EQ(host.fontRequests.size(), 1u);

    painter.releaseFont();
    EXPECT_FALSE(painter.created);
    EXPECT_EQ(painter.font, 0u);
    EXPECT_EQ(host.deletedFonts, std::vector<FontHandle>{first});
    painter.releaseFont();
    EXPECT_EQ(host.deletedFonts.size(), 1u);

    EXPECT_TRUE(painter.createFont("Other"));
    EXPECT_NE(painter.font, first);
    EXPECT_EQ(host.fontFaces.back(), "Other");
}

TEST_F(TextPainterTest, FailuresLeaveThePainterWithoutAFont) {
    host.failFont = true;
    TextPainter noFont(host, "Terminal", 6);
    EXPECT_FALSE(noFont.created);
    EXPECT_EQ(noFont.font, 0u);
    EXPECT_EQ(noFont.charWidth, 0);
    EXPECT_TRUE(host.deletedFonts.empty());

    host.failFont = false;
    host.failMeasure = true;
    TextPainter unmeasured(host, "Terminal", 6);
    EXPECT_FALSE(unmeasured.created);
    EXPECT_EQ(unmeasured.font, 0u);
    EXPECT_EQ(unmeasured.charHeight, 0);
    EXPECT_EQ(host.deletedFonts.size(), 1u) << "the unmeasured font is deleted";
}

TEST_F(TextPainterTest, DrawTextLengthsBackgroundAndFont) {
    TextPainter painter(host, "Terminal", 6);
    testing::RecordingSurface surface;
    painter.textColour = 0x123456;
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
    EXPECT_EQ(texts[0].a, 5);
    EXPECT_EQ(texts[0].b, 6);
    EXPECT_EQ(texts[0].font, painter.font) << "the painter's font stays selected";
    EXPECT_EQ(surface.callsOf(DrawCall::BackgroundTransparent).size(), 3u);
    auto opaque = surface.callsOf(DrawCall::BackgroundOpaque);
    ASSERT_EQ(opaque.size(), 1u);
    EXPECT_EQ(opaque[0].colour, 0u);
    EXPECT_EQ(surface.callsOf(DrawCall::TextColour)[0].colour, 0x123456u);
}

TEST_F(TextPainterTest, DestructionReleasesTheFont) {
    FontHandle font;
    {
        TextPainter painter(host, "Terminal", 6);
        font = painter.font;
    }
    EXPECT_EQ(host.deletedFonts, std::vector<FontHandle>{font});
}

} // namespace
} // namespace quillon
