#include "view/TextPainter.h"

#include "support/FakeHost.h"

namespace quillon::testing {

TEST(TextPainterTest, DrawsTheCharactersAskedButNeverPastTheText) {
    FakeHost host;
    TextPainter(host, FontPurpose::Labels).drawText(host.surface, 5, 6, "AB", 40);
    EXPECT_EQ(host.surface.texts.at(0).text, "AB");
}

} // namespace quillon::testing
