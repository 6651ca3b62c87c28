#include "sim/Movement.h"

#include "support/FakeHost.h"
#include "support/LineTrack.h"

#include <string>
#include <tuple>

namespace quillon::testing {

using MovementTest = WorldFixture;

// Single-precision factors and double sums fix every result to the bit: in
// 10 ms step 14 runs 4.27 units and step 1 a little over 0.42; in a second
// step 1 runs 42.
TEST_F(MovementTest, AdvancesByTheVelocityTable) {
    for (auto [speed, steps, elapsed, advance] :
         {std::tuple{14u, 52, 10, 4.27f}, {1u, 520, 10, 0.420000017f}, {1u, 520, 1000, 42.0f}}) {
        world = makeWorld();
        Train& train = runningTrain(1, "A1", speed);
        EXPECT_EQ(stepsUntilNextNode(train), steps) << "10 ms steps to SW12 at step " << speed;
        EXPECT_TRUE(stepTrains(world, elapsed)) << "a running train is due to move";
        EXPECT_EQ(train.exactDistance, advance)
            << "past SW12 in " << elapsed << " ms at step " << speed;
    }
}

// In 200 ms each step runs 0.14 units for each unit of its velocity.
TEST_F(MovementTest, EachSpeedStepRunsItsVelocity) {
    const float run[15] = {0,      8.4f,   11.2f,  14.84f, 22.12f, 29.4f,  35.84f, 43.4f,
                           49.56f, 56.28f, 61.88f, 66.92f, 75.04f, 79.94f, 85.4f};
    for (std::uint32_t step = 0; step <= 14; ++step) {
        world = makeWorld();
        Train& train = runningTrain(1, "A1", step);
        stepTrains(world, 200);
        EXPECT_NEAR(train.exactDistance, run[step], 0.001f) << "step " << step;
    }
}

TEST_F(MovementTest, RunsFromA1ThroughTheLayoutLatchingItsSensorsInOrder) {
    Train& train = runningTrain(1, "A1", 14);
    std::vector<std::string> passed;
    std::vector<int> latched;
    while (passed.size() < 12 && !train.crashed) {
        stepsUntilNextNode(train);
        passed.push_back(name(train.currentNode));
        for (int n = 0; n < SENSOR_NUMBERS; ++n)
            if (world.latched.bytes[n / 8] & (0x80 >> (n % 8)))
                latched.push_back(n);
        world.latched.clear();
    }
    EXPECT_EQ(passed, (std::vector<std::string>{"SW12", "SW11", "C13", "E7", "D7", "SW9", "SW8",
                                                "E9", "E13", "SW17", "D13", "B1"}));
    EXPECT_EQ(latched, (std::vector<int>{44, 70, 54, 73, 76, 60, 17}));
}

// Facing moves follow the switch; trailing moves take the common leg.
TEST_F(MovementTest, LeavesASwitchByTheLegItsDirectionAndTheArrivalSelect) {
    for (auto [from, direction, after] : {std::tuple{"SW9", SWITCH_DIR_CURVED, "E9"},
                                          {"SW9", SWITCH_DIR_STRAIGHT, "D9"},
                                          {"D9", SWITCH_DIR_CURVED, "SW9"},
                                          {"E9", SWITCH_DIR_STRAIGHT, "SW9"}}) {
        world = makeWorld();
        node("SW8").direction = direction;
        stepsUntilNextNode(runningTrain(1, from, 14, "SW8"));
        EXPECT_STREQ(name(world.trains.trains[0].nextNode), after) << "from " << from;
        EXPECT_EQ(node("SW8").direction, direction) << "a train never sets a switch";
    }
}

TEST_F(MovementTest, StopNodesStartTrainsAndHaltThem) {
    Train& leaving = runningTrain(1, "DE5", 14);
    Train& train = runningTrain(2, "A15", 14); // 145 units to the stop DE6
    takeEvents();
    EXPECT_EQ(stepsUntilNextNode(train), 34);
    EXPECT_STREQ(name(leaving.nextNode), "A1");
    EXPECT_EQ(train.distance, 145) << "held at the end of its segment";
    EXPECT_STREQ(name(world.events.events[0].node), "DE6") << "the halt names where it stands";
    EXPECT_EQ(takeEvents(), Kinds{EventKind::Halt});
    leaving.speed = 0;
    EXPECT_FALSE(stepTrains(world, 10)) << "a halted train is not due to move";
}

// Trains crash when the pixel gap between them truncates to 10 or less. Train
// 1 moves first and measures train 2 where it stood after the step before: on
// step 23 train 1, at 98, finds train 2 at 93, 27 units apart.
TEST_F(MovementTest, TrainsMeetingHeadOnCrashTogetherWithOneEvent) {
    node("SW12").direction = SWITCH_DIR_STRAIGHT;
    Train& east = runningTrain(1, "A1", 14);
    Train& west = runningTrain(2, "SW12", 14);
    takeEvents();
    EXPECT_EQ(stepsUntilNextNode(east), 23);
    EXPECT_EQ(west.crashed, 1);
    EXPECT_EQ(east.distance, 98);
    EXPECT_EQ(west.distance, 93);
    EXPECT_EQ(takeEvents(), Kinds{EventKind::Collision});
}

// 189 units along the 218 from A1 to SW12 a train is 10.64 pixels short of
// SW12: it crashes into a train standing there, and again once its speed is
// set anew.
TEST_F(MovementTest, ARunningTrainCrashesIntoAStandingOrHeldOneAgainAndAgain) {
    for (bool held : {false, true}) {
        world = makeWorld();
        Train& runner = runningTrain(1, "A1", 1, "SW12");
        Train& standing = runningTrain(2, "SW12", held ? 5 : 0);
        standing.held = held;
        runner.distance = 189, runner.exactDistance = 189.0f;
        stepTrains(world, 10);
        EXPECT_FALSE(standing.nextNode.isNode()) << "the standing train has not moved";
        setTrainSpeed(world, 1, 1, true);
        stepTrains(world, 10);
        EXPECT_EQ(takeEvents(), (Kinds{EventKind::TrainPlaced, EventKind::TrainPlaced,
                                       EventKind::Collision, EventKind::Collision}))
            << "held " << held;
    }
}

// Layout B has 70 nodes: an edge to slot 70 leads nowhere on it, as when the
// active layout changes under a running train. Trains start on A1, or arrive
// there from DE5 over 500.
TEST_F(MovementTest, ATrainHaltsBeforeAMissingOrEmptyEdge) {
    for (NodeEdge broken :
         {NodeEdge{-1, 0}, NodeEdge{70, 218}, NodeEdge{51, 0}, NodeEdge{51, -5}}) {
        for (auto [start, distance] : {std::pair{"A1", 0}, std::pair{"DE5", 500}}) {
            world = makeWorld();
            selectLayout(world.layouts, LAYOUT_B);
            node("A1").edges[EDGE_AHEAD] = broken;
            Train& train = runningTrain(1, start, 14);
            stepsUntilNextNode(train);
            std::string edge = std::string(start) + ", edge to " + std::to_string(broken.dest);
            EXPECT_STREQ(name(train.currentNode), start) << edge;
            EXPECT_EQ(train.distance, distance) << edge;
            EXPECT_EQ(takeEvents(), (Kinds{EventKind::TrainPlaced, EventKind::Halt})) << edge;
        }
    }
}

// X reports 7 both ways, Y only 9 behind: a train from S0 to S1 latches 7;
// back from S1 it latches 9, then 7.
TEST_F(MovementTest, ASensorReportsTheContactOfTheWayItIsLeft) {
    loadLine(world, {7, 7}, {NO_CONTACT, 9});
    std::vector<int> latched;
    for (int from : {LINE_S0, LINE_S1}) {
        placeTrain(world, 1, lineRef(from));
        setTrainSpeed(world, 1, 14, false);
        for (int step = 0; step < 100; ++step)
            stepTrains(world, 10);
        for (int i = 0; i < world.events.count; ++i)
            if (world.events.events[i].kind == EventKind::SensorLatched)
                latched.push_back(world.events.events[i].a);
        world.events.count = 0;
    }
    EXPECT_EQ(latched, (std::vector<int>{7, 9, 7}));
}

// Train 1, one step short of train 2 standing at X 100 units on: a gap in
// layout units crashes at 10 units apart whatever the window's scale (X
// drawn 10 or 1000 pixels on); a gap in pixels at 10 pixels along the drawn
// segment, here a diagonal of 100 pixels.
TEST_F(MovementTest, TheCollisionGapIsMeasuredByItsRule) {
    for (auto [rule, x, y, distance, crashed] : {std::tuple{GapRule::LayoutUnits, 1000, 0, 89, 0},
                                                 {GapRule::LayoutUnits, 1000, 0, 90, 1},
                                                 {GapRule::LayoutUnits, 10, 0, 89, 0},
                                                 {GapRule::WindowPixels, 60, 80, 89, 0},
                                                 {GapRule::WindowPixels, 60, 80, 90, 1}}) {
        world = makeWorld();
        loadLine(world, {0, 1}, {2, 3});
        Track& track = activeTrack(world.layouts);
        track.gap.rule = rule;
        track.nodes[LINE_X].x = x, track.nodes[LINE_X].y = y;
        runningTrain(2, "X", 0);
        Train& train = runningTrain(1, "S0", 1, "X");
        train.distance = distance, train.exactDistance = static_cast<float>(distance);
        stepTrains(world, 10);
        EXPECT_EQ(train.crashed, crashed) << "units " << (rule == GapRule::LayoutUnits) << ", X at "
                                          << x << "," << y << ", distance " << distance;
    }
}

} // namespace quillon::testing
