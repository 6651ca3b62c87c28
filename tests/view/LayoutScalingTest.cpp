#include "view/LayoutScaling.h"

#include "support/FakeHost.h"

namespace quillon {
namespace {

using LayoutScalingTest = testing::TrackFixture;

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
    TrackLayout& loose = layoutRecord(LAYOUT_B); // with just the nodes below
    auto rescale = [&loose](std::vector<std::pair<int, int>> points) {
        loose.nodeCount = static_cast<int>(points.size());
        for (int i = 0; i < loose.nodeCount; ++i) {
            NodeView& view = nodeView(loose, loose.nodes[i]);
            std::tie(view.layoutX, view.layoutY) = points[i];
        }
        rescaleLayout(loose, 512, 320);
    };
    rescale({{7, 10}, {7, 20}, {7, 30}});
    EXPECT_EQ(std::tuple(loose.nodes[0].x, loose.nodes[2].x, loose.nodes[1].y),
              std::tuple(48, 48, 168))
        << "an axis without extent puts every node at 48, the other spreads as usual";
}

} // namespace
} // namespace quillon
