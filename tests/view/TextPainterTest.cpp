#include "view/TextPainter.h"

#include "support/FakeHost.h"

namespace quillon {
namespace {

TEST(TextPainterTest, AsksForThePointSizeAndDrawsTheAskedLength) {
    testing::HostScope scope;
    scope.host.dpi = 90; // 6 points are 7.5 pixels: rounded away from zero
    TextPainter painter(scope.host, "Terminal", 6);
    EXPECT_EQ(scope.host.fontHeight, -8);
    testing::RecordingSurface surface;
    painter.drawText(surface, 5, 6, "CRASHED!", 0);
    painter.drawText(surface, 5, 6, "CRASHED!", 3);
    painter.drawText(surface, 5, 6, "AB", 40); // never past the end
    painter.backgroundColour = 0;              // black is a colour
    painter.drawText(surface, 5, 6, "X", 0);
    auto& texts = surface.texts;
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_EQ(std::tuple(texts[0].text, texts[1].text, texts[2].text, texts[2].font),
              std::tuple("CRASHED!", "CRA", "AB", painter.font));
    EXPECT_EQ(std::tuple(texts[2].background, texts[3].background), std::tuple(NO_BACKGROUND, 0u));
}

} // namespace
} // namespace quillon
