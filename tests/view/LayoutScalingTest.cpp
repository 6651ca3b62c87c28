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

    // A loose record of nodes at the given layout coordinates (its views are
    // those of layout B's slots, since its node count differs from A's).
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

TEST_F(LayoutScalingTest, FitsLayoutAInto512By320) {
    rescaleBothLayouts(512, 320);
    EXPECT_EQ(nodeNamed("A1").x, 117);
    EXPECT_EQ(nodeNamed("A1").y, 48);
    for (int index : {LAYOUT_A, LAYOUT_B}) {
        TrackLayout& layout = layoutRecord(index);
        int minX = INT_MAX, maxX = INT_MIN, minY = INT_MAX, maxY = INT_MIN;
        for (int i = 0; i < layout.nodeCount; ++i) {
            minX = std::min(minX, layout.nodes[i].x), maxX = std::max(maxX, layout.nodes[i].x);
            minY = std::min(minY, layout.nodes[i].y), maxY = std::max(maxY, layout.nodes[i].y);
        }
        EXPECT_EQ(minX, 48);
        EXPECT_EQ(maxX, 480);
        EXPECT_EQ(minY, 48);
        EXPECT_EQ(maxY, 288);
    }
}

// The quotient is formed before the product in double precision, which can
// land one pixel below exact arithmetic.
TEST_F(LayoutScalingTest, QuotientBeforeProductTruncates) {
    rescaleBothLayouts(220, 135);
    EXPECT_EQ(nodeNamed("A3").y, 62);
    TrackLayout& layout = looseLayout({{0, 0}, {188, 5}, {560, 10}});
    rescaleLayout(layout, 220, 135);
    EXPECT_EQ(layout.nodes[1].x, 94);
}

TEST_F(LayoutScalingTest, RepeatedAndSmallestSizes) {
    rescaleBothLayouts(204, 128);
    TrackLayout& a = layoutRecord(LAYOUT_A);
    TrackLayout first = a;
    rescaleBothLayouts(204, 128);
    for (int i = 0; i < a.nodeCount; ++i) {
        EXPECT_EQ(a.nodes[i].x, first.nodes[i].x);
        EXPECT_EQ(a.nodes[i].y, first.nodes[i].y);
        EXPECT_TRUE(a.nodes[i].x >= 48 && a.nodes[i].x <= 172) << a.nodes[i].name;
        EXPECT_TRUE(a.nodes[i].y >= 48 && a.nodes[i].y <= 96) << a.nodes[i].name;
    }
}

// An axis without extent puts every node at 48 instead of converting 0 / 0.
TEST_F(LayoutScalingTest, AxisWithoutExtent) {
    TrackLayout& line = looseLayout({{7, 10}, {7, 20}, {7, 30}});
    rescaleLayout(line, 512, 320);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(line.nodes[i].x, 48);
    EXPECT_EQ(line.nodes[0].y, 48);
    EXPECT_EQ(line.nodes[1].y, 168);
    EXPECT_EQ(line.nodes[2].y, 288);

    TrackLayout& single = looseLayout({{3, 4}});
    rescaleLayout(single, 512, 320);
    EXPECT_EQ(single.nodes[0].x, 48);
    EXPECT_EQ(single.nodes[0].y, 48);
}

TEST_F(LayoutScalingTest, ExtremeCoordinatesDoNotOverflow) {
    TrackLayout& layout = looseLayout({{INT_MIN, INT_MAX}, {INT_MAX, INT_MIN}});
    rescaleLayout(layout, 512, 320);
    // The span is taken as a float, which rounds 2^32 - 1 up: the far end
    // may land a pixel short, never outside the area.
    EXPECT_EQ(layout.nodes[0].x, 48);
    EXPECT_EQ(layout.nodes[1].y, 48);
    EXPECT_TRUE(layout.nodes[1].x >= 479 && layout.nodes[1].x <= 480) << layout.nodes[1].x;
    EXPECT_TRUE(layout.nodes[0].y >= 287 && layout.nodes[0].y <= 288) << layout.nodes[0].y;
}

} // namespace
} // namespace quillon
