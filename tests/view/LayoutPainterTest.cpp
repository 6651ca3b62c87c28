#include "view/LayoutPainter.h"

#include "sim/Trains.h"
#include "support/FakeHost.h"
#include "track/BuiltinLayouts.h"
#include "view/LayoutScaling.h"
#include "view/Palette.h"
#include "view/TextPainter.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>

namespace quillon {
namespace {

using testing::DrawCall;
using testing::nodeNamed;

bool joins(const DrawCall& line, const TrackNode& a, const TrackNode& b) {
    return (line.a == a.x && line.b == a.y && line.c == b.x && line.d == b.y) ||
           (line.a == b.x && line.b == b.y && line.c == a.x && line.d == a.y);
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
    Colour netColour(const TrackNode& a, const TrackNode& b) {
        Colour colour = 0xDEADu;
        for (const DrawCall& line : paint())
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
    ASSERT_GE(lines.size(), 3u);
    const TrackNode &a1 = nodeNamed("A1"), &sw12 = nodeNamed("SW12"), &de5 = nodeNamed("DE5"),
                    &sw11 = nodeNamed("SW11");
    struct Expected {
        const TrackNode &from, &to;
        Colour colour;
    };
    const Expected expected[] = {
        {a1, sw12, BRANCH_GREY}, {de5, a1, ROUTE_BLUE}, {sw11, sw12, BRANCH_GREY}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ((std::array{lines[i].a, lines[i].b, lines[i].c, lines[i].d}),
                  (std::array{expected[i].from.x, expected[i].from.y, expected[i].to.x,
                              expected[i].to.y}))
            << "line " << i;
        EXPECT_EQ(lines[i].colour, expected[i].colour) << "line " << i;
    }
}

TEST_F(LayoutPainterTest, WalkDrawsEveryEdgeOnceThenEachSwitchTwice) {
    for (int index : {LAYOUT_A, LAYOUT_B}) {
        selectLayout(index);
        const TrackLayout& layout = activeLayout();
        std::set<std::pair<int, int>> edges;
        int switches = 0;
        for (int i = 0; i < layout.nodeCount; ++i) {
            switches += layout.nodes[i].type == NODE_SWITCH;
            for (const NodeEdge& edge : layout.nodes[i].edges)
                if (edge.dest >= 0)
                    edges.insert({std::min(i, edge.dest), std::max(i, edge.dest)});
        }
        auto lines = paint();
        std::size_t walked = lines.size() - 2 * switches;
        EXPECT_EQ(walked, index == LAYOUT_A ? 78u : 77u);
        EXPECT_EQ(walked, edges.size());
        for (auto [u, v] : edges) {
            int count = 0;
            for (std::size_t i = 0; i < walked; ++i)
                count += joins(lines[i], layout.nodes[u], layout.nodes[v]);
            EXPECT_EQ(count, 1) << layout.nodes[u].name << "-" << layout.nodes[v].name;
        }
    }
}

TEST_F(LayoutPainterTest, NetColouringNamedEdges) {
    EXPECT_EQ(netColour(nodeNamed("SW5"), nodeNamed("SW7")), BRANCH_GREY);
    EXPECT_EQ(netColour(nodeNamed("SW6"), nodeNamed("SW18")), ROUTE_BLUE);
    EXPECT_EQ(netColour(nodeNamed("SW11"), nodeNamed("SW14")), BRANCH_GREY);
    nodeNamed("SW14").direction = SWITCH_DIR_STRAIGHT;
    EXPECT_EQ(netColour(nodeNamed("SW11"), nodeNamed("SW14")), ROUTE_BLUE);
    const TrackNode& curved = activeLayout().nodes[nodeNamed("SW14").edges[EDGE_CURVED].dest];
    EXPECT_EQ(netColour(nodeNamed("SW14"), curved), BRANCH_GREY);
}

// Every edge is route blue except a branch its switch is not set to; of two
// switches sharing a branch the later in the table decides.
TEST_F(LayoutPainterTest, NetColouringFollowsTheSwitchesForAnySettings) {
    std::mt19937 random(7);
    for (int index : {LAYOUT_A, LAYOUT_B}) {
        selectLayout(index);
        TrackLayout& layout = activeLayout();
        for (int round = 0; round < 8; ++round) {
            for (int i = 0; i < layout.nodeCount; ++i)
                if (layout.nodes[i].type == NODE_SWITCH)
                    layout.nodes[i].direction = static_cast<int>(random() % 2);
            auto lines = paint();
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
                        expected = straight == (sw.direction == SWITCH_DIR_STRAIGHT) ? ROUTE_BLUE
                                                                                     : BRANCH_GREY;
                    }
                    Colour shown = 0;
                    for (const DrawCall& line : lines)
                        if (joins(line, layout.nodes[u], layout.nodes[v]))
                            shown = line.colour;
                    ASSERT_EQ(shown, expected)
                        << layout.nodes[u].name << "-" << layout.nodes[v].name;
                }
            }
        }
    }
}

TEST_F(LayoutPainterTest, NodeMarkersHaloAndNames) {
    TrackNode& sensor = nodeNamed("A3");
    TrackNode& sw = nodeNamed("SW12");
    nodeView(activeLayout(), sensor).stuck = 1;
    nodeView(activeLayout(), sw).hovered = 1;
    paint();
    std::vector<DrawCall> atSensor, atSwitch;
    for (const DrawCall& call : surface.callsOf(DrawCall::FillEllipse)) {
        if (call.a + call.c == 2 * sensor.x && call.b + call.d == 2 * sensor.y)
            atSensor.push_back(call);
        if (call.a + call.c == 2 * sw.x && call.b + call.d == 2 * sw.y)
            atSwitch.push_back(call);
    }
    ASSERT_EQ(atSensor.size(), 1u);
    EXPECT_EQ(atSensor[0].c - atSensor[0].a, 10);
    EXPECT_EQ(atSensor[0].colour, STUCK_ORANGE);
    ASSERT_EQ(atSwitch.size(), 2u);
    EXPECT_EQ(atSwitch[0].c - atSwitch[0].a, 16);
    EXPECT_EQ(atSwitch[0].colour, HALO_GREEN);
    EXPECT_EQ(atSwitch[1].c - atSwitch[1].a, 8);
    EXPECT_EQ(atSwitch[1].colour, SWITCH_BLUE);

    std::map<std::string, Colour> labels;
    Colour colour = 0;
    for (const DrawCall& call : surface.calls) {
        if (call.kind == DrawCall::TextColour)
            colour = call.colour;
        if (call.kind == DrawCall::Text)
            labels[call.text] = colour;
    }
    EXPECT_EQ(labels["SW12"], WHITE);
    EXPECT_EQ(labels["A3"], LABEL_GREY);
    EXPECT_EQ(labels.count("SW11"), 0u) << "switches are named only while hovered";
    EXPECT_EQ(labels.count("DE5"), 0u) << "stops are named only while hovered";
    EXPECT_EQ(labels.size(), 41u) << "the 40 sensors and the hovered switch";
}

TEST_F(LayoutPainterTest, DisplayPositionBetweenNodes) {
    TrackNode a{}, b{};
    NodeEdge edge{1, 400};
    a.y = b.y = 70;
    struct Row {
        int ax, bx, length, distance, expected;
    };
    for (Row row :
         {Row{100, 300, 400, 200, 200}, Row{100, 200, 3, 1, 133}, Row{100, 300, 400, 400, 300},
          Row{100, 300, 0, 0, 100}, Row{100, 300, 0, 5, 100}}) {
        a.x = row.ax, b.x = row.bx, edge.distance = row.length;
        Train train{};
        train.currentNode = &a, train.nextNode = &b, train.edge = &edge;
        train.distance = row.distance;
        updateDisplayPosition(train);
        EXPECT_EQ(train.displayX, row.expected) << row.distance << " of " << row.length;
        EXPECT_EQ(train.displayY, 70);
    }
    Train placed{};
    placed.currentNode = &b;
    updateDisplayPosition(placed);
    EXPECT_EQ(placed.displayX, b.x);
}

TEST_F(LayoutPainterTest, TrainLabelsStatusAndCrash) {
    Train* train = placeTrain(7, nodeNamed("A1"));
    ASSERT_NE(train, nullptr);
    train->speed = 5;
    train->distance = 42;
    train->crashed = 1;
    struct Text {
        std::string text;
        int x, y;
        Colour colour;
    };
    auto texts = [&] {
        // The train pass starts with the first rectangle.
        std::vector<Text> out;
        Colour colour = 0;
        bool trains = false;
        for (const DrawCall& call : surface.calls) {
            trains = trains || call.kind == DrawCall::FillRect;
            if (call.kind == DrawCall::TextColour)
                colour = call.colour;
            if (trains && call.kind == DrawCall::Text)
                out.push_back({call.text, call.a + static_cast<int>(call.text.size()) * 3,
                               call.b + 4, colour});
        }
        return out;
    };
    int x = nodeNamed("A1").x, y = nodeNamed("A1").y;

    paint();
    auto rects = surface.callsOf(DrawCall::FillRect);
    ASSERT_EQ(rects.size(), 2u);
    EXPECT_EQ((std::array{rects[0].a, rects[0].b, rects[0].c, rects[0].d, (int)rects[0].colour}),
              (std::array{x - 10, y - 6, x + 10, y + 6, (int)WHITE}));
    EXPECT_EQ(rects[1].colour, RED);
    auto plain = texts();
    ASSERT_EQ(plain.size(), 2u);
    EXPECT_EQ(plain[0].text, "07");
    EXPECT_EQ(plain[0].colour, WHITE);
    EXPECT_EQ(plain[1].text, "CRASHED!");
    EXPECT_EQ(plain[1].y, y + 12);
    EXPECT_EQ(plain[1].colour, RED);

    train->hovered = 1;
    train->number = 123;
    paint();
    auto hovered = texts();
    ASSERT_EQ(hovered.size(), 4u);
    EXPECT_EQ(hovered[0].text, "123");
    EXPECT_EQ(hovered[0].colour, SENSOR_YELLOW);
    EXPECT_EQ(hovered[1].text, "   speed:5  ");
    EXPECT_EQ(hovered[1].y, y + 12);
    EXPECT_EQ(hovered[2].text, "distance:42 ");
    EXPECT_EQ(hovered[2].y, y + 20);
    EXPECT_EQ(hovered[2].x, x);
    EXPECT_EQ(hovered[3].text, "CRASHED!");
    EXPECT_EQ(hovered[3].y, y + 28);
}

} // namespace
} // namespace quillon
