#include "view/LayoutPainter.h"

#include "sim/Sensors.h"
#include "support/CrowdedLayout.h"
#include "support/FakeHost.h"
#include "support/LineTrack.h"
#include "view/Palette.h"
#include "view/TextPainter.h"

#include <tuple>

namespace quillon::testing {

class LayoutPainterTest : public WorldFixture {
protected:
    RecordingSurface& paint() {
        host.surface = {};
        drawLayout(host.surface, &painter, world);
        return host.surface;
    }
    // The line from p to q in the colour.
    Drawn line(const char* p, const char* q, Colour colour) {
        return {std::to_string(node(q).x) + "," + std::to_string(node(q).y), node(p).x, node(p).y,
                colour};
    }
    // The last line drawn over the edge between p and q, either way.
    Drawn lastOver(const char* p, const char* q) {
        Drawn last{};
        for (const Drawn& drawn : host.surface.lines)
            if (drawn == line(p, q, drawn.colour) || drawn == line(q, p, drawn.colour))
                last = drawn;
        return last;
    }
    // Text i of the last count drawn, by its centre in the 6 x 8 cell.
    Drawn label(std::size_t count, std::size_t i) {
        Drawn text = paint().texts.at(host.surface.texts.size() - count + i);
        return {text.text, text.x + 3 * static_cast<int>(text.text.size()), text.y + 4,
                text.colour};
    }

    FakeHost host;
    TextPainter painter{host, FontPurpose::Labels};
};

// Last of all, a switch draws its selected branch towards itself in blue and
// the other away from itself in grey.
TEST_F(LayoutPainterTest, EdgesShowWhetherTheirSwitchesAreSetForThem) {
    paint();
    EXPECT_EQ(lastOver("SW11", "SW14"), line("SW14", "SW11", BRANCH_GREY));
    node("SW14").direction = SWITCH_DIR_STRAIGHT;
    paint();
    EXPECT_EQ(lastOver("SW11", "SW14"), line("SW11", "SW14", ROUTE_BLUE));
    EXPECT_EQ(lastOver("SW14", "C11"), line("SW14", "C11", BRANCH_GREY));
}

// The marker last drawn on each node: the colour of its kind, orange for a
// stuck sensor.
TEST_F(LayoutPainterTest, EachNodeIsMarkedInTheColourOfItsKind) {
    stickSensor(world, ref("B3"));
    paint();
    for (auto [at, colour] : {std::pair{"SW7", SWITCH_BLUE},
                              {"A7", SENSOR_YELLOW},
                              {"B3", STUCK_ORANGE},
                              {"DE5", RED}}) {
        Colour shown;
        for (const Drawn& disc : host.surface.discs)
            if (disc.x == node(at).x && disc.y == node(at).y)
                shown = disc.colour;
        EXPECT_EQ(shown, colour) << at;
    }
}

// The walk starts from node 0 as a train runs, coloured by the switches, and
// draws each edge once. A and B joined by two switches with both branches
// between them: the four pairs once, the switches their branches again. Rows
// of sensors that no track joins are drawn too.
TEST_F(LayoutPainterTest, TheWalkStartsAtNodeZeroAndDrawsEachEdgeOnce) {
    const std::vector<Drawn>& lines = paint().lines;
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[0], line("A1", "SW12", BRANCH_GREY));
    EXPECT_EQ(lines[1], line("DE5", "A1", ROUTE_BLUE));
    EXPECT_EQ(lines[2], line("SW11", "SW12", BRANCH_GREY));
    TrackLayout record{};
    ASSERT_EQ(parseTrackLayout("track 4\n0 A sensor 0 0 0 2 1 ahead 10 3 behind 10\n"
                               "1 S0 switch 1 10 0 curved 3 2 curved 10 2 straight 12 0 behind 10\n"
                               "2 S1 switch 2 20 0 curved 3 1 curved 10 1 straight 12 3 behind 10\n"
                               "3 B sensor 1 30 0 2 0 ahead 10 2 behind 10\n",
                               record)
                  .status,
              0);
    world.layouts.tracks[LAYOUT_A] = trackFromRecord(record);
    EXPECT_EQ(paint().lines.size(), 8u);
    loadCrowdedLayout(world.layouts, 3, 2);
    EXPECT_EQ(paint().lines.size(), 4u) << "two rows of two edges";
}

// The number, then the status below it, then the crash below that.
TEST_F(LayoutPainterTest, AHoveredTrainShowsItsStatus) {
    Train& train = runningTrain(123, "A1", 5);
    train.distance = 42, train.crashed = 1;
    world.interaction.hoveredTrain = findTrain(world.trains, 123);
    const int x = node("A1").x, y = node("A1").y;
    EXPECT_EQ(label(4, 0), (Drawn{"123", x, y, SENSOR_YELLOW}));
    EXPECT_EQ(label(4, 1), (Drawn{"   speed:5  ", x, y + 12, SENSOR_YELLOW}));
    EXPECT_EQ(label(4, 2), (Drawn{"distance:42 ", x, y + 20, SENSOR_YELLOW}));
    EXPECT_EQ(label(4, 3), (Drawn{"CRASHED!", x, y + 28, RED}));
}

// A loaded layout's hovered sensor shows its contacts below it: ahead, then
// behind, one name when both are one contact, "-" for none.
TEST_F(LayoutPainterTest, AHoveredSensorOfALoadedLayoutShowsItsContacts) {
    for (auto [x, y, text] :
         {std::tuple{7, 7, "A8"}, {NO_CONTACT, 9, "-/A10"}, {44, 416, "C13/AA1"}}) {
        loadLine(world, {x, y}, {0, 1});
        world.interaction.hoveredNode = lineRef(LINE_X);
        EXPECT_EQ(paint().texts.back().text, text);
    }
}

} // namespace quillon::testing
