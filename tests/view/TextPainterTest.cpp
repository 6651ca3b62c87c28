#include "view/TextPainter.h"

#include "support/FakeHost.h"

namespace quillon::testing {

TEST(TextPainterTest, AsksForThePointSizeAndNeverDrawsPastTheText) {
    HostScope scope;
    scope.host.dpi = 90; // 6 points are 7.5 pixels: rounded away from zero
    TextPainter painter(scope.host, "Terminal", 6);
    RecordingSurface surface;
    painter.drawText(surface, 5, 6, "CRASHED!", 3);
    painter.drawText(surface, 5, 6, "AB", 40);
    EXPECT_EQ(std::tuple(scope.host.fontHeight, surface.texts.at(0).text, surface.texts.at(1).text),
              std::tuple(-8, "CRA", "AB"));
}

} // namespace quillon::testing
