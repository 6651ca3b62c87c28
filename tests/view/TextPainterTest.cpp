#include "view/TextPainter.h"

#include "support/FakeHost.h"

namespace quillon::testing {

// 6 points at 90 dots per inch are 7.5 pixels: rounded away from zero.
TEST(TextPainterTest, AsksForThePointSizeInPixels) {
    FakeHost host;
    host.dpi = 90;
    TextPainter painter(host, "Terminal", 6);
    EXPECT_EQ(host.fontHeight, 8);
}

TEST(TextPainterTest, DrawsTheCharactersAskedButNeverPastTheText) {
    FakeHost host;
    TextPainter(host, "Terminal", 6).drawText(host.surface, 5, 6, "AB", 40);
    EXPECT_EQ(host.surface.texts.at(0).text, "AB");
}

} // namespace quillon::testing
