#include "view/LayoutPainter.h"

#include "sim/Trains.h"
#include "support/FakeHost.h"
#include "track/BuiltinLayouts.h"
#include "view/LayoutScaling.h"
#include "view/Palette.h"
#include "view/TextPainter.h"

#include <gtest/gtest.h>

#include <array>
#include <random>

namespace quillon {
namespace {

using testing::DrawCall;
using testing::nodeNamed;

bool joins(const DrawCall& line, const TrackNode& a, const TrackNode& b) {
    auto ends = [&](const TrackNode& p, const TrackNode& q) {
        return line.a == p.x && line.b == p.y && line.c == q.x && line.d == q.y;
    };
    return ends(a, b) || ends(b, a);
}

class LayoutPainterTest : public ::testing::Test {
  protected:
    LayoutPainterTest() {
        loadBuiltinLayouts();
        rescaleBothLayouts(512, 320);
    }

    std::vector<DrawCall> paint() {
        surface.calls.clear();
        drawLayout(surface, &painter);
        return surface.callsOf(DrawCall::Line);
    }

    // The colour an edge shows: that of the last line drawn over it.
    static Colour shown(const std::vector<DrawCall>& lines, const TrackNode& a,
                        const TrackNode& b) {
        Colour colour = 0;
        for (const DrawCall& line : lines)
            if (joins(line, a, b))
                colour = line.colour;
        return colour;
    }

    testing::HostScope scope;
    TextPainter painter{scope.host, "Terminal", 6};
    testing::RecordingSurface surface;
};

TEST_F(LayoutPainterTest, WalkStartsFromNodeZeroAsATrainRuns) {
    auto lines = paint();
    const TrackNode *a1 = &nodeNamed("A1"), *sw12 = &nodeNamed("SW12"), *de5 = &nodeNamed("DE5"),
                    *sw11 = &nodeNamed("SW11");
    const TrackNode* ends[3][2] = {{a1, sw12}, {de5, a1}, {sw11, sw12}};
    const Colour colours[3] = {BRANCH_GREY, ROUTE_BLUE, BRANCH_GREY};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ((std::array{lines[i].a, lines[i].b, lines[i].c, lines[i].d}),
                  (std::array{ends[i][0]->x, ends[i][0]->y, ends[i][1]->x, ends[i][1]->y}))
            << "line " << i;
        EXPECT_EQ(lines[i].colour, colours[i]) << "line " << i;
    }
}

TEST_F(LayoutPainterTest, NamedEdgesAtStartAndAfterAToggle) {
    auto lines = paint();
    EXPECT_EQ(shown(lines, nodeNamed("SW5"), nodeNamed("SW7")), BRANCH_GREY);
    EXPECT_EQ(shown(lines, nodeNamed("SW6"), nodeNamed("SW18")), ROUTE_BLUE);
    EXPECT_EQ(shown(lines, nodeNamed("SW11"), nodeNamed("SW14")), BRANCH_GREY);
    TrackNode& sw14 = nodeNamed("SW14");
    sw14.direction = SWITCH_DIR_STRAIGHT;
    lines = paint();
    EXPECT_EQ(shown(lines, nodeNamed("SW11"), sw14), ROUTE_BLUE);
    EXPECT_EQ(shown(lines, sw14, activeLayout().nodes[sw14.edges[EDGE_CURVED].dest]), BRANCH_GREY);
}

// For any switch settings the walk draws every edge exactly once, and each
// edge ends up route blue except a branch its switch is not set to; of two
// switches sharing a branch the later in the table decides.
TEST_F(LayoutPainterTest, EveryEdgeOnceAndColouredByItsSwitches) {
    std::mt19937 random(7);
    for (int index : {LAYOUT_A, LAYOUT_B}) {
        selectLayout(index);
        TrackLayout& layout = activeLayout();
        for (int round = 0; round < 6; ++round) {
            int switches = 0;
            for (int i = 0; i < layout.nodeCount; ++i)
                if (layout.nodes[i].type == NODE_SWITCH)
                    layout.nodes[i].direction = static_cast<int>(random() % 2), ++switches;
            auto lines = paint();
            std::vector<DrawCall> walk(lines.begin(), lines.end() - 2 * switches);
            ASSERT_EQ(walk.size(), index == LAYOUT_A ? 78u : 77u);
            for (int u = 0; u < layout.nodeCount; ++u) {
                for (const NodeEdge& edge : layout.nodes[u].edges) {
                    int v = edge.dest;
                    if (v < u)
                        continue;
                    Colour expected = ROUTE_BLUE;
                    for (int s : {u, v}) {
                        const TrackNode& sw = layout.nodes[s];
                        int other = s == u ? v : u;
                        if (sw.type != NODE_SWITCH || sw.edges[EDGE_COMMON].dest == other)
                            continue;
                        bool straight = sw.edges[EDGE_STRAIGHT].dest == other;
                        bool set = straight == (sw.direction == SWITCH_DIR_STRAIGHT);
                        expected = set ? ROUTE_BLUE : BRANCH_GREY;
                    }
                    auto name = [&] {
                        return std::string(layout.nodes[u].name) + "-" + layout.nodes[v].name;
                    };
                    ASSERT_EQ(std::count_if(walk.begin(), walk.end(),
                                            [&](auto& l) {
                                                return joins(l, layout.nodes[u], layout.nodes[v]);
                                            }),
                              1)
                        << name();
                    ASSERT_EQ(shown(lines, layout.nodes[u], layout.nodes[v]), expected) << name();
                }
            }
        }
    }
}

TEST_F(LayoutPainterTest, DisplayPositionBetweenNodes) {
    TrackNode a{}, b{};
    NodeEdge edge{1, 0};
    a.y = b.y = 70;
    // ax, bx, edge length, distance, expected x; an edge without length
    // leaves the train at its current node.
    const int rows[][5] = {{100, 300, 400, 200, 200},
                           {100, 200, 3, 1, 133},
                           {100, 300, 0, 0, 100},
                           {100, 300, 0, 5, 100}};
    for (auto& row : rows) {
        a.x = row[0], b.x = row[1], edge.distance = row[2];
        Train train{};
        train.currentNode = &a, train.nextNode = &b, train.edge = &edge;
        train.distance = row[3];
        updateDisplayPosition(train);
        EXPECT_EQ(train.displayX, row[4]) << row[3] << " of " << row[2];
        EXPECT_EQ(train.displayY, 70);
    }
}

TEST_F(LayoutPainterTest, TrainNumberStatusLinesAndCrash) {
    Train& train = *placeTrain(7, nodeNamed("A1"));
    train.speed = 5, train.distance = 42, train.crashed = 1;
    const int x = nodeNamed("A1").x, y = nodeNamed("A1").y;
    // The train's texts as (text, centre y, colour); the train pass begins
    // with its first rectangle.
    auto texts = [&] {
        std::vector<std::tuple<std::string, int, Colour>> out;
        Colour colour = 0;
        bool trains = false;
        for (const DrawCall& call : surface.calls) {
            trains = trains || call.kind == DrawCall::FillRect;
            if (call.kind == DrawCall::TextColour)
                colour = call.colour;
            if (trains && call.kind == DrawCall::Text) {
                EXPECT_EQ(call.a + 3 * static_cast<int>(call.text.size()), x) << call.text;
                out.emplace_back(call.text, call.b + 4, colour);
            }
        }
        return out;
    };
    using T = std::tuple<std::string, int, Colour>;
    paint();
    DrawCall frame = surface.callsOf(DrawCall::FillRect).at(0);
    EXPECT_EQ((std::array{frame.a, frame.b, frame.c, frame.d}),
              (std::array{x - 10, y - 6, x + 10, y + 6}));
    EXPECT_EQ(texts(), (std::vector<T>{{"07", y, WHITE}, {"CRASHED!", y + 12, RED}}));

    train.hovered = 1;
    train.number = 123;
    paint();
    EXPECT_EQ(texts(), (std::vector<T>{{"123", y, SENSOR_YELLOW},
                                       {"   speed:5  ", y + 12, SENSOR_YELLOW},
                                       {"distance:42 ", y + 20, SENSOR_YELLOW},
                                       {"CRASHED!", y + 28, RED}}));
}

} // namespace
} // namespace quillon
