#include "track/LayoutText.h"

#include "track/LayoutFile.h"

#include "protocol/CommandDecoder.h"
#include "sim/Movement.h"
#include "sim/Sensors.h"
#include "sim/World.h"
#include "support/GeneratedLayout.h"
#include "view/LayoutScaling.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <sstream>
#include <string>
#include <tuple>

namespace quillon::testing {
namespace {

// The first difference between the two worlds' trains, switches, latches and
// events, ignoring which layout a node reference names; empty when none.
std::string difference(const World& a, const World& b) {
    std::ostringstream out;
    auto sameNode = [](NodeRef x, NodeRef y) {
        return x.isNode() == y.isNode() && x.index == y.index;
    };
    if (a.trains.count != b.trains.count)
        return "train count";
    for (int i = 0; i < a.trains.count; ++i) {
        const Train& s = a.trains.trains[i];
        const Train& t = b.trains.trains[i];
        bool same = s.inUse == t.inUse && s.held == t.held && s.number == t.number &&
                    s.speed == t.speed && sameNode(s.currentNode, t.currentNode) &&
                    sameNode(s.nextNode, t.nextNode) && sameNode(s.edge.node, t.edge.node) &&
                    s.edge.slot == t.edge.slot && s.distance == t.distance &&
                    std::memcmp(&s.exactDistance, &t.exactDistance, sizeof(float)) == 0 &&
                    s.displayX == t.displayX && s.displayY == t.displayY &&
                    s.crashed == t.crashed && s.leavesBehind == t.leavesBehind &&
                    s.light == t.light && s.facing == t.facing;
        if (!same)
            return (out << "train record " << i, out.str());
    }
    const Track& x = activeTrack(a.layouts);
    const Track& y = activeTrack(b.layouts);
    for (int i = 0; i < x.nodeCount(); ++i)
        if (x.nodes[static_cast<std::size_t>(i)].direction !=
            y.nodes[static_cast<std::size_t>(i)].direction)
            return (out << "direction of node " << i, out.str());
    if (std::memcmp(&a.latched, &b.latched, sizeof a.latched) != 0)
        return "latched contacts";
    if (a.events.count != b.events.count)
        return "event count";
    for (int i = 0; i < a.events.count; ++i) {
        const Event& e = a.events.events[i];
        const Event& f = b.events.events[i];
        if (e.kind != f.kind || e.a != f.a || e.b != f.b || !sameNode(e.node, f.node) ||
            e.length != f.length || std::memcmp(e.bytes, f.bytes, e.length) != 0)
            return (out << "event " << i, out.str());
    }
    return "";
}

struct Side {
    World world = makeWorld();
    CommandDecoder decoder;
};

} // namespace

// The parameter of the copy test that stands for the generated layout.
constexpr int GENERATED = LAYOUT_COUNT;

// A layout written out in either form and loaded back as the loaded layout
// runs exactly as the original under the same random operations, several
// simulated minutes of them: placements either way, both command sets'
// speeds, reverses, lights, switch bytes 0..255 and reports, steps, stuck
// and fired sensors, window sizes. The originals are the built-in layouts
// and the generated one.
class LoadedCopyTest : public ::testing::TestWithParam<std::tuple<int, LayoutForm>> {};

TEST_P(LoadedCopyTest, RunsAsTheOriginal) {
    const auto [layout, form] = GetParam();
    Side sides[2];
    Layouts& original = sides[0].world.layouts;
    if (layout == GENERATED)
        original.tracks[LAYOUT_LOADED] = generateLayout(1);
    selectLayout(original, layout == GENERATED ? LAYOUT_LOADED : layout);
    const std::string text = form == LayoutForm::Named
                                 ? formatNamedLayout(activeTrack(original))
                                 : formatLayoutText(activeTrack(original)).value_or("");
    std::vector<LayoutError> errors;
    ASSERT_TRUE(loadLayout(text, sides[1].world.layouts.tracks[LAYOUT_LOADED], errors));
    selectLayout(sides[1].world.layouts, LAYOUT_LOADED);
    std::mt19937 random(7u + static_cast<unsigned>(layout));
    int seen[16] = {};
    // Trains go on the last 96 nodes at most, so that they meet on a big layout.
    const int nodes = activeTrack(original).nodeCount();
    auto somewhere = [&](std::uint32_t value) {
        return nodes - 1 -
               static_cast<int>(value % static_cast<std::uint32_t>(std::min(nodes, 96)));
    };
    for (int op = 0; op < 40000; ++op) {
        std::uint32_t r = random(), s = random();
        int kind = static_cast<int>(r % 16);
        for (Side& side : sides) {
            World& world = side.world;
            side.decoder.commandSet = s & 0x10000 ? CommandSet::Full : CommandSet::Basic;
            std::uint8_t bytes[2] = {static_cast<std::uint8_t>(s),
                                     static_cast<std::uint8_t>(s >> 8)};
            if (kind == 0) {
                placeTrain(world, static_cast<int>(s % 12),
                           activeNode(world.layouts, somewhere(s >> 4)), (s >> 20) & 1);
            } else if (kind <= 2) {
                bytes[0] = static_cast<std::uint8_t>(s % 32), bytes[1] = (s >> 8) % 12;
                decodeCommands(side.decoder, world, bytes, 2);
            } else if (kind == 3) {
                bytes[0] = (s >> 24) % 3 == 0 ? CMD_SOLENOID_OFF : CMD_SWITCH_STRAIGHT + (s & 1);
                decodeCommands(side.decoder, world, bytes, 2);
            } else if (kind == 4) {
                std::uint8_t requests[4] = {CMD_REPORT, static_cast<std::uint8_t>(128 + s % 32),
                                            static_cast<std::uint8_t>(192 + s % 32),
                                            (s >> 8) & 1 ? CMD_GO : CMD_STOP};
                decodeCommands(side.decoder, world, &requests[(s >> 5) % 4], 1);
            } else if (kind == 5) {
                world.interaction.selectedNode = activeNode(world.layouts, somewhere(s >> 4));
                if (s & 1)
                    stickSelectedSensor(world);
                else
                    fireSensor(world, world.interaction.selectedNode, (s >> 1) & 1);
            } else if (kind == 6) {
                rescaleLayouts(world, 200 + static_cast<int>(s % 1400),
                               150 + static_cast<int>((s >> 12) % 1000));
            } else {
                stepTrains(world, s % 8 == 0 ? static_cast<std::int32_t>(s % 600) : 10);
            }
        }
        ASSERT_EQ(difference(sides[0].world, sides[1].world), "") << "after operation " << op;
        for (int i = 0; i < sides[0].world.events.count; ++i)
            ++seen[static_cast<int>(sides[0].world.events.events[i].kind)];
        for (Side& side : sides)
            side.world.events.count = 0;
    }
    for (EventKind kind : {EventKind::SwitchChanged, EventKind::Collision, EventKind::Halt,
                           EventKind::SensorLatched, EventKind::SensorFired})
        EXPECT_GT(seen[static_cast<int>(kind)], 0) << "event kind " << static_cast<int>(kind);
}

INSTANTIATE_TEST_SUITE_P(Layouts, LoadedCopyTest,
                         ::testing::Combine(::testing::Values(LAYOUT_A, LAYOUT_B, GENERATED),
                                            ::testing::Values(LayoutForm::NodeTable,
                                                              LayoutForm::Named)));

// The text is the built-ins' form: the built-in parser reads layout A's
// text back to its record as it stands, a switch thrown since it was built.
TEST(LayoutTextTest, TheBuiltInParserReadsTheTextToTheRecordAsItStands) {
    World world = makeWorld();
    setSwitch(world, 12, SWITCH_DIR_STRAIGHT);
    std::optional<std::string> text = formatLayoutText(world.layouts.tracks[LAYOUT_A]);
    ASSERT_TRUE(text.has_value());
    TrackLayout record{};
    ASSERT_EQ(parseTrackLayout(text->c_str(), record).status, 0);
    const TrackLayout now = recordOf(world.layouts.tracks[LAYOUT_A]);
    EXPECT_EQ(std::memcmp(&record, &now, sizeof record), 0);
}

// What the form cannot state is refused rather than written wrong.
TEST(LayoutTextTest, RefusesATrackTheFormCannotState) {
    const World world = makeWorld();
    const std::pair<const char*, void (*)(Track&)> rows[] = {
        {"layout-unit gap",
         [](Track& t) {
             t.gap = {GapRule::LayoutUnits, 10};
         }},
        {"contacts not 2k, 2k + 1", [](Track& t) { t.nodes[0].contacts[WAY_BEHIND] = 7; }},
        {"five-character name", [](Track& t) { std::strcpy(t.nodes[0].name, "ABCDE"); }},
        {"name with a space", [](Track& t) { std::strcpy(t.nodes[0].name, "A 1"); }},
        {"stop with a behind edge",
         [](Track& t) {
             t.nodes[62].edges[EDGE_BEHIND] = {3, 10};
         }},
        {"edge without length", [](Track& t) { t.nodes[0].edges[EDGE_AHEAD].distance = 0; }},
    };
    for (const auto& [what, change] : rows) {
        Track track = world.layouts.tracks[LAYOUT_A];
        change(track);
        EXPECT_FALSE(formatLayoutText(track).has_value()) << what;
    }
}

// Each fault is reported with its line, the column of its field and its
// message, and reading stops where the fields no longer line up.
TEST(LayoutTextTest, ReportsEachFaultAtItsField) {
    const std::string one = "track 2\n0 A stop 0 1 2 1\n  1 ahead 5\n";
    const std::tuple<std::string, int, int, std::string> rows[] = {
        {"  \n", 1, 1, "the text is empty: it begins with 'track' and the node count"},
        {"\ntrak 1", 2, 1, "expected 'track', got 'trak'"},
        {"track many", 1, 7, "node count 'many' is not a number"},
        {"track 4097", 1, 7, "node count 4097 is outside 1..4096"},
        {"track 99999999999", 1, 7, "node count 99999999999 does not fit in 32 bits"},
        {"track 1\n1 A stop 0 0 0 0", 2, 1, "node index 1 is outside 0..0"},
        {one + "0 B stop 0 0 0 0", 4, 1, "node 0 is given twice"},
        {"track 1\n0 ABCDE stop 0 0 0 0", 2, 3, "node name 'ABCDE' is longer than 4 characters"},
        {"track 1\n0 A bridge 0 0 0 0", 2, 5, "node type 'bridge' is not sensor, switch or stop"},
        {"track 1\n0 A sensor 248 0 0 0", 2, 12, "sensor id 248 is outside 0..247"},
        {"track 1\n0 A switch 0x100 0 0 curved 0", 2, 12, "switch number 256 is outside 1..255"},
        {"track 1\n0 A stop 0 1.5 0 0", 2, 12, "x coordinate '1.5' is not a number"},
        {"track 1\n0 A switch 1 0 0 left 0", 2, 18,
         "switch direction 'left' is not straight or curved"},
        {"track 1\n0 A sensor 0 0 0 3", 2, 18, "edge count 3 is outside 0..2 for a sensor"},
        {"track 1\n0 A stop 0 0 0 1\n 1 ahead 5", 3, 2, "edge destination 1 is outside 0..0"},
        {"track 1\n0 A stop 0 0 0 1\n 0 behind 5", 3, 4, "a stop has no 'behind' edge"},
        {"track 2\n0 A sensor 0 0 0 2\n 1 ahead 5\n 1 ahead 5", 4, 4,
         "the ahead edge is given twice"},
        {"track 1\n0 A stop 0 0 0 1\n 0 ahead 0", 3, 10, "edge distance 0 is outside 1..1000000"},
        {"track 1\n0 A stop 0 0 0 1\n\n 0 ahead", 4, 4, "the text ends before the edge distance"},
        {one + "1 B stop 0 0 0 0\n\n2", 6, 1, "the text goes on after the last of the 2 nodes"},
    };
    for (const auto& [text, line, column, message] : rows) {
        Track track;
        std::vector<LayoutError> errors;
        EXPECT_FALSE(loadLayoutText(text.c_str(), track, errors)) << text;
        ASSERT_FALSE(errors.empty()) << text;
        EXPECT_EQ(errors[0].message, message) << text;
        EXPECT_EQ(errors[0].line, line) << text;
        EXPECT_EQ(errors[0].column, column) << text;
    }
}

TEST(LayoutTextTest, GoesOnAfterAFaultThatKeepsTheFieldsInLine) {
    std::vector<LayoutError> errors;
    Track track;
    loadLayoutText("track 2\n0 A sensor 300 0 0 0\n0 B switch 1 0 0 up 0\n", track, errors);
    std::vector<std::pair<int, std::string>> found;
    for (const LayoutError& error : errors)
        found.push_back({error.line, error.message});
    EXPECT_EQ(found, (std::vector<std::pair<int, std::string>>{
                         {2, "sensor id 300 is outside 0..247"},
                         {3, "node 0 is given twice"},
                         {3, "switch direction 'up' is not straight or curved"}}));
}

TEST(LayoutTextTest, AFailedLoadLeavesTheTrackAsItWas) {
    World world = makeWorld();
    Track& track = world.layouts.tracks[LAYOUT_A];
    std::vector<LayoutError> errors;
    EXPECT_FALSE(loadLayoutText("track 1\n0 A stop 0 0 0 1\n 0 ahead 0", track, errors));
    EXPECT_EQ(track.nodeCount(), 72);
}

} // namespace quillon::testing
