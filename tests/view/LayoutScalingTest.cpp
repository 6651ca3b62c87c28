#include "view/LayoutScaling.h"

#include "support/FakeHost.h"

namespace quillon::testing {

using LayoutScalingTest = WorldFixture;

// DE5 is at layout (10, 10), the top-left corner; B9 has the largest y.
TEST_F(LayoutScalingTest, TheBoundingBoxFillsTheAreaWithinItsMargins) {
    rescaleLayouts(world, 512, 320);
    EXPECT_EQ(node("A1").x, 117);
    EXPECT_EQ(node("A1").y, 48);
    EXPECT_EQ(node("DE5").x, 48);
    EXPECT_EQ(node("B9").y, 288);
}

// Quotient first, then product, in double precision: at 220 x 135, A3 lands
// one pixel above what exact integer arithmetic gives.
TEST_F(LayoutScalingTest, RoundsAsTheDisplayAlwaysHas) {
    rescaleLayouts(world, 220, 135);
    EXPECT_EQ(node("A3").y, 62);
}

TEST_F(LayoutScalingTest, AnAxisWithoutExtentPutsEveryNodeAt48) {
    Track line;
    line.nodes.resize(3); // on a vertical line
    for (int i = 0; i < 3; ++i) {
        line.nodes[static_cast<std::size_t>(i)].layoutX = 7;
        line.nodes[static_cast<std::size_t>(i)].layoutY = 10 * (i + 1);
    }
    rescaleTrack(line, 512, 320);
    EXPECT_EQ(line.nodes[0].x, 48);
    EXPECT_EQ(line.nodes[2].x, 48);
    EXPECT_EQ(line.nodes[1].y, 168) << "spread as usual down";
}

} // namespace quillon::testing
