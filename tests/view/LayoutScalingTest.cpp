#include "view/LayoutScaling.h"

#include "support/FakeHost.h"

namespace quillon::testing {

using LayoutScalingTest = TrackFixture;

// Quotient first, then product, in double precision: at 220 x 135, A3 lands
// one pixel above what exact integer arithmetic gives.
TEST_F(LayoutScalingTest, FitsTheBoundingBoxToTheArea) {
    rescaleBothLayouts(512, 320);
    // DE5 is at layout (10, 10), the top-left corner; B9 has the largest y.
    EXPECT_EQ(std::tuple(node("A1").x, node("A1").y, node("DE5").x, node("B9").y),
              std::tuple(117, 48, 48, 288));
    rescaleBothLayouts(220, 135);
    EXPECT_EQ(node("A3").y, 62);
}

TEST_F(LayoutScalingTest, AnAxisWithoutExtentGives48) {
    TrackLayout& line = layoutRecord(LAYOUT_B);
    line.nodeCount = 3; // on a vertical line
    for (int i = 0; i < 3; ++i)
        nodeView(line, line.nodes[i]) = NodeView{7, 10 * (i + 1), 0, 0};
    rescaleLayout(line, 512, 320);
    EXPECT_EQ(std::tuple(line.nodes[0].x, line.nodes[2].x, line.nodes[1].y),
              std::tuple(48, 48, 168))
        << "every node at 48 across, spread as usual down";
}

} // namespace quillon::testing
