#include "view/LayoutPainter.h"

#include "support/FakeHost.h"
#include "view/Palette.h"
#include "view/TextPainter.h"

#include <array>
#include <span>

namespace quillon::testing {

static bool joins(const Line& line, const TrackNode& p, const TrackNode& q) {
    std::array ends{line.x1, line.y1, line.x2, line.y2};
    return ends == std::array{p.x, p.y, q.x, q.y} || ends == std::array{q.x, q.y, p.x, p.y};
}

class LayoutPainterTest : public TrackFixture {
protected:
    std::vector<Line>& paint() {
        surface = {};
        drawLayout(surface, &painter);
        return surface.lines;
    }

    // The colour the edge shows: that of the last line drawn over it.
    Colour shown(const char* a, const char* b) {
        Colour colour = 0;
        for (const Line& line : surface.lines)
            colour = joins(line, node(a), node(b)) ? line.colour : colour;
        return colour;
    }

    TextPainter painter{scope.host, "Terminal", 6};
    RecordingSurface surface;
};

TEST_F(LayoutPainterTest, WalkStartsFromNodeZeroAsATrainRunsAndColoursBySwitches) {
    auto& lines = paint();
    auto drawn = [&lines](int i) {
        return std::tuple(lines[i].x1, lines[i].y1, lines[i].x2, lines[i].y2, lines[i].colour);
    };
    auto edge = [](const char* p, const char* q, Colour colour) {
        return std::tuple(node(p).x, node(p).y, node(q).x, node(q).y, colour);
    };
    EXPECT_EQ(std::tuple(drawn(0), drawn(1), drawn(2)),
              std::tuple(edge("A1", "SW12", BRANCH_GREY), edge("DE5", "A1", ROUTE_BLUE),
                         edge("SW11", "SW12", BRANCH_GREY)));
    EXPECT_EQ(std::tuple(shown("SW5", "SW7"), shown("SW6", "SW18"), shown("SW11", "SW14")),
              std::tuple(BRANCH_GREY, ROUTE_BLUE, BRANCH_GREY));
    node("SW14").direction = SWITCH_DIR_STRAIGHT;
    paint();
    EXPECT_EQ(std::tuple(shown("SW11", "SW14"), shown("SW14", "C11")),
              std::tuple(ROUTE_BLUE, BRANCH_GREY));
}

TEST_F(LayoutPainterTest, DisplayPositionBetweenNodes) {
    TrackNode a{}, b{};
    NodeEdge edge{1, 0};
    Train train{};
    train.currentNode = &a, train.nextNode = &b, train.edge = &edge;
    a.y = b.y = 70;
    // An edge without length leaves the train at its current node.
    for (auto [ax, bx, length, distance, x] : {std::tuple{100, 300, 400, 200, 200},
                                               {100, 200, 3, 1, 133},
                                               {100, 300, 0, 0, 100},
                                               {100, 300, 0, 5, 100}}) {
        a.x = ax, b.x = bx, edge.distance = length, train.distance = distance;
        updateDisplayPosition(train);
        EXPECT_EQ(std::tuple(train.displayX, train.displayY), std::tuple(x, 70))
            << distance << " of " << length;
    }
}

TEST_F(LayoutPainterTest, TrainNumberStatusLinesAndCrash) {
    Train& train = *placeTrain(7, node("A1"));
    train.speed = 5, train.distance = 42, train.crashed = 1;
    const int x = node("A1").x, y = node("A1").y;
    // The train's texts, the last drawn, as (text, centre x, centre y, colour).
    using Label = std::tuple<std::string, int, int, Colour>;
    auto texts = [&] {
        paint();
        std::vector<Label> out;
        for (const Text& text : std::span(surface.texts).last(train.hovered ? 4 : 2))
            out.emplace_back(text.text, text.x + 3 * int(text.text.size()), text.y + 4,
                             text.colour);
        return out;
    };
    EXPECT_EQ(texts(), (std::vector<Label>{{"07", x, y, WHITE}, {"CRASHED!", x, y + 12, RED}}));
    train.hovered = 1;
    train.number = 123;
    EXPECT_EQ(texts(), (std::vector<Label>{{"123", x, y, SENSOR_YELLOW},
                                           {"   speed:5  ", x, y + 12, SENSOR_YELLOW},
                                           {"distance:42 ", x, y + 20, SENSOR_YELLOW},
                                           {"CRASHED!", x, y + 28, RED}}));
}

} // namespace quillon::testing
