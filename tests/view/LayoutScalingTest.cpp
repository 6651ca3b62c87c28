#include "view/LayoutScaling.h"

#include "support/FakeHost.h"
#include "track/BuiltinLayouts.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

namespace quillon {
namespace {

using testing::nodeNamed;

class LayoutScalingTest : public ::testing::Test {
  protected:
    LayoutScalingTest() { loadBuiltinLayouts(); }

    // A loose record with nodes at these layout coordinates.
    TrackLayout& looseLayout(const std::vector<std::pair<int, int>>& points) {
        custom = {};
        custom.nodeCount = static_cast<int>(points.size());
        for (int i = 0; i < custom.nodeCount; ++i) {
            custom.nodes[i].index = i;
            NodeView& view = nodeView(custom, custom.nodes[i]);
            view.layoutX = points[i].first;
            view.layoutY = points[i].second;
        }
        return custom;
    }

    testing::HostScope scope;
    TrackLayout custom;
};

TEST_F(LayoutScalingTest, FitsTheBoundingBoxToTheArea) {
    rescaleBothLayouts(512, 320);
    EXPECT_EQ(nodeNamed("A1").x, 117);
    EXPECT_EQ(nodeNamed("A1").y, 48);
    EXPECT_EQ(nodeNamed("DE5").x, 48); // layout (10, 10), the top-left corner
    EXPECT_EQ(nodeNamed("B9").y, 288); // layout y 285, the largest
}

// Quotient first, then product, in double precision: one pixel below exact
// integer arithmetic.
TEST_F(LayoutScalingTest, QuotientBeforeProductTruncates) {
    rescaleBothLayouts(220, 135);
    EXPECT_EQ(nodeNamed("A3").y, 62);
    TrackLayout& layout = looseLayout({{0, 0}, {188, 5}, {560, 10}});
    rescaleLayout(layout, 220, 135);
    EXPECT_EQ(layout.nodes[1].x, 94);
}

TEST_F(LayoutScalingTest, AxisWithoutExtentGives48) {
    TrackLayout& line = looseLayout({{7, 10}, {7, 20}, {7, 30}});
    rescaleLayout(line, 512, 320);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(line.nodes[i].x, 48);
    EXPECT_EQ(line.nodes[1].y, 168) << "y spreads as usual";
}

TEST_F(LayoutScalingTest, ExtremeCoordinatesDoNotOverflow) {
    TrackLayout& layout = looseLayout({{INT_MIN, INT_MAX}, {INT_MAX, INT_MIN}});
    rescaleLayout(layout, 512, 320);
    EXPECT_EQ(layout.nodes[0].x, 48);
    EXPECT_EQ(layout.nodes[1].y, 48);
    // The span 2^32 - 1 rounds up as a float: the far end may fall a pixel short.
    EXPECT_TRUE(layout.nodes[1].x >= 479 && layout.nodes[1].x <= 480) << layout.nodes[1].x;
}

} // namespace
} // namespace quillon
