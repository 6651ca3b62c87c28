#include "view/NamePlan.h"

#include "support/CrowdedLayout.h"
#include "support/FakeHost.h"
#include "view/LayoutPainter.h"
#include "view/LayoutScaling.h"
#include "view/Palette.h"
#include "view/TextPainter.h"

#include <algorithm>
#include <cstring>

namespace quillon::testing {

// The fake font's cell is 6 x 8 pixels.
class NamePlanTest : public WorldFixture {
protected:
    // Scales the world to width x height, plans its names and paints it.
    const std::vector<Drawn>& paintAt(int width, int height, const NamePlan* names) {
        rescaleLayouts(world, width, height);
        plan.plan(world.layouts, &painter);
        host.surface = {};
        drawLayout(host.surface, &painter, world, names);
        return host.surface.texts;
    }
    // Whether the names drawn at a and b leave less than a character
    // between them side by side, or overlap.
    static bool crowd(const Drawn& a, const Drawn& b) {
        int aRight = a.x + 6 * static_cast<int>(a.text.size());
        int bRight = b.x + 6 * static_cast<int>(b.text.size());
        return a.x < bRight + 6 && b.x < aRight + 6 && a.y < b.y + 8 && b.y < a.y + 8;
    }
    // Whether the name drawn at a covers the marker of a node other than
    // its own: the disc of a stuck sensor, the largest, is 10 pixels across.
    bool coversAMarker(const Drawn& a) {
        const Track& track = activeTrack(world.layouts);
        int aRight = a.x + 6 * static_cast<int>(a.text.size());
        bool covers = false;
        for (const Node& node : track.nodes)
            covers |= a.text != node.name && a.x < node.x + 5 && node.x - 5 < aRight &&
                      a.y < node.y + 5 && node.y - 5 < a.y + 8;
        return covers;
    }
    // Where node index's name is drawn when it is.
    Drawn nameOf(int index, Colour colour) {
        const Node& node = activeTrack(world.layouts).nodes[static_cast<std::size_t>(index)];
        int width = 6 * static_cast<int>(std::strlen(node.name));
        return {node.name, node.x - width / 2, node.y - NAME_ABOVE_NODE - 4, colour};
    }

    FakeHost host;
    TextPainter painter{host, FontPurpose::Labels};
    NamePlan plan;
};

class CrowdedNamePlanTest : public NamePlanTest {
protected:
    CrowdedNamePlanTest() { loadCrowdedLayout(world.layouts, 20, 20); }
};

// At 512 x 320 the names of the first row crowd one another, and those of
// the rows below cover the markers of the row above.
TEST_F(CrowdedNamePlanTest, NoShownNameCrowdsAnotherOrCoversAMarker) {
    const std::vector<Drawn> texts = paintAt(512, 320, &plan);
    for (std::size_t a = 0; a < texts.size(); ++a) {
        EXPECT_FALSE(coversAMarker(texts[a])) << texts[a];
        for (std::size_t b = a + 1; b < texts.size(); ++b)
            EXPECT_FALSE(crowd(texts[a], texts[b])) << texts[a] << " and " << texts[b];
    }
}

// Names are shown greedily in node order: each hidden name would cover a
// marker or crowd a name shown before it.
TEST_F(CrowdedNamePlanTest, ANameIsHiddenOnlyWhereItWouldCoverOrCrowd) {
    std::vector<Drawn> shown = paintAt(512, 320, &plan);
    ASSERT_LT(shown.size(), 400u) << "the layout is crowded";
    const std::uint8_t* hidden = plan.hiddenNames(LAYOUT_LOADED, 400);
    ASSERT_NE(hidden, nullptr);
    for (int i = 0; i < 400; ++i) {
        if (hidden[i] == 0)
            continue;
        Drawn name = nameOf(i, LABEL_GREY);
        bool crowded = coversAMarker(name);
        for (const Drawn& other : shown)
            crowded |= std::stoi(other.text.substr(1)) < i && crowd(name, other);
        EXPECT_TRUE(crowded) << name;
    }
}

// Its contacts follow it, below the node.
TEST_F(CrowdedNamePlanTest, AHoveredHiddenNameIsDrawnOverTheOthers) {
    paintAt(512, 320, &plan);
    const std::uint8_t* hidden = plan.hiddenNames(LAYOUT_LOADED, 400);
    ASSERT_NE(hidden, nullptr);
    int index = static_cast<int>(std::find(hidden, hidden + 400, 1) - hidden);
    ASSERT_LT(index, 400);
    world.interaction.hoveredNode = activeNode(world.layouts, index);
    const auto texts = paintAt(512, 320, &plan);
    EXPECT_EQ(texts.at(texts.size() - 2), nameOf(index, WHITE));
}

// The built-in layouts draw exactly as without a plan, down to the smallest
// window.
TEST_F(NamePlanTest, TheBuiltInLayoutsShowEveryName) {
    for (int layout : {LAYOUT_A, LAYOUT_B}) {
        selectLayout(world.layouts, layout);
        for (auto [width, height] : {std::pair{204, 128}, {512, 320}, {1600, 1000}}) {
            std::vector<Drawn> planned = paintAt(width, height, &plan);
            EXPECT_EQ(planned, paintAt(width, height, nullptr))
                << "layout " << layout << " at " << width << " x " << height;
        }
    }
}

} // namespace quillon::testing
