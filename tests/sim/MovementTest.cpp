#include "sim/Movement.h"

#include "fuzz/SimulationProgram.h"
#include "support/FakeHost.h"

#include <cstdio>
#include <random>

namespace quillon::testing {

using MovementTest = TrackFixture;

TEST_F(MovementTest, AdvancesByTheVelocityTableToTheStep) {
    // Step, 10 ms steps over the 218 from A1 to SW12, then the advance in a time.
    for (auto [speed, steps, elapsed, advance] :
         {std::tuple{14u, 52, 10, 4.27f}, std::tuple{1u, 520, 1000, 42.0f}}) {
        resetTrains();
        Train& train = runningTrain(1, "A1", speed);
        EXPECT_EQ(stepsUntilNextNode(train), steps) << speed;
        EXPECT_EQ(train.currentNode, &node("SW12"));
        EXPECT_TRUE(stepTrains(elapsed, report));
        EXPECT_FLOAT_EQ(train.exactDistance, advance) << "what ran past SW12 was dropped";
        EXPECT_EQ(train.distance, static_cast<int>(advance));
    }
}

TEST_F(MovementTest, RunsFromA1ThroughTheLayoutLatchingItsSensorsInOrder) {
    Train& train = runningTrain(1, "A1", 14);
    std::vector<std::string> passed;
    std::vector<int> latched;
    while (passed.size() < 12 && !train.crashed) {
        stepsUntilNextNode(train);
        passed.push_back(train.currentNode->name);
        for (int n = 0; n < SENSOR_NUMBERS; ++n)
            if (report.bytes[n / 8] & (0x80 >> (n % 8)))
                latched.push_back(n);
        report.clear();
    }
    EXPECT_EQ(passed, (std::vector<std::string>{"SW12", "SW11", "C13", "E7", "D7", "SW9", "SW8",
                                                "E9", "E13", "SW17", "D13", "B1"}));
    EXPECT_EQ(latched, (std::vector<int>{44, 70, 54, 73, 76, 60, 17}));
}

TEST_F(MovementTest, FacingMovesFollowTheSwitchAndTrailingMovesTakeTheCommonLeg) {
    // Towards SW8: straight to D9, curved to E9, common leg to SW9.
    for (auto [from, direction, after] : {std::tuple{"SW9", SWITCH_DIR_CURVED, "E9"},
                                          {"SW9", SWITCH_DIR_STRAIGHT, "D9"},
                                          {"D9", SWITCH_DIR_CURVED, "SW9"},
                                          {"E9", SWITCH_DIR_STRAIGHT, "SW9"}}) {
        resetTrains();
        node("SW8").direction = direction;
        Train& train = trainOnSegment(1, from, "SW8");
        stepsUntilNextNode(train);
        EXPECT_EQ(std::tuple(train.currentNode, train.nextNode, node("SW8").direction),
                  std::tuple(&node("SW8"), &node(after), direction))
            << from << " " << direction;
    }
}

TEST_F(MovementTest, StopNodesStartTrainsAndHaltThem) {
    Train& leaving = runningTrain(1, "DE5", 14);
    Train& train = runningTrain(2, "A15", 14); // 145 ahead to the stop DE6
    sounds.clear();
    EXPECT_EQ(stepsUntilNextNode(train), 34);
    EXPECT_EQ(std::tuple(train.crashed, train.nextNode, train.distance, leaving.nextNode),
              std::tuple(1, &node("DE6"), 145, &node("A1")));
    leaving.speed = 0;
    EXPECT_FALSE(stepTrains(10, report)) << "a crashed train is not due to move";
    EXPECT_EQ(sounds, Sounds{SOUND_HALT});
}

// Trains crash when the pixel gap between them truncates to 10 or less.
TEST_F(MovementTest, TrainsMeetingHeadOnCrashTogetherWithOneSound) {
    node("SW12").direction = SWITCH_DIR_STRAIGHT;
    Train& east = runningTrain(1, "A1", 14);
    Train& west = runningTrain(2, "SW12", 14);
    sounds.clear();
    // Train 1 moves first and measures train 2 where it stood after the step
    // before: on step 23 train 1, at 98, finds train 2 at 93, 27 units apart.
    EXPECT_EQ(stepsUntilNextNode(east), 23);
    EXPECT_EQ(std::tuple(east.crashed, west.crashed, east.distance, west.distance),
              std::tuple(1, 1, 98, 93));
    EXPECT_EQ(sounds, Sounds{SOUND_COLLISION});
}

// A1 (100, 10) and SW12 (180, 11) on layout A are 80.006 pixels apart over a
// track of 218: 29 units are 10.64 pixels, 30 are 11.01.
TEST_F(MovementTest, ARunningTrainCrashesIntoAStandingOrHeldOneAgainAndAgain) {
    for (bool held : {false, true}) {
        resetTrains();
        Train& runner = trainOnSegment(1, "A1", "SW12");
        Train& standing = runningTrain(2, "SW12", held ? 5 : 0);
        standing.held = held;
        runner.speed = 1, runner.distance = 188, runner.exactDistance = 188.0f; // 0.42 a step
        sounds.clear();
        stepTrains(10, report);
        EXPECT_EQ(runner.crashed, 0) << "30 units short of the other";
        runner.distance = 189, runner.exactDistance = 189.0f;
        stepTrains(10, report);
        EXPECT_EQ(std::tuple(runner.crashed, standing.crashed, standing.nextNode),
                  std::tuple(1, 1, nullptr))
            << held;
        setTrainSpeed(1, 1, true);
        stepTrains(10, report);
        EXPECT_EQ(runner.crashed + standing.crashed, 2);
        EXPECT_EQ(sounds, (Sounds{SOUND_COLLISION, SOUND_COLLISION}));
    }
}

// Layout B has 70 nodes: an edge to slot 70 leads nowhere on it, as when the
// active layout changes under a running train.
TEST_F(MovementTest, ATrainNeverRunsOntoAMissingOrEmptyEdge) {
    selectLayout(LAYOUT_B);
    for (NodeEdge broken :
         {NodeEdge{-1, 0}, NodeEdge{70, 218}, NodeEdge{51, 0}, NodeEdge{51, -5}}) {
        node("A1").edges[EDGE_AHEAD] = broken;
        // On A1, or arriving there from DE5 over 500.
        for (auto [start, distance] : {std::pair{"A1", 0}, std::pair{"DE5", 500}}) {
            resetTrains();
            sounds.clear();
            Train& train = runningTrain(1, start, 14);
            stepsUntilNextNode(train);
            EXPECT_EQ(std::tuple(train.crashed, train.currentNode, train.distance),
                      std::tuple(1, &node(start), distance))
                << start << " " << broken.dest;
            EXPECT_EQ(sounds, (Sounds{SOUND_TRAIN_PLACED, SOUND_HALT}));
        }
    }
}

TEST_F(MovementTest, ANegativeElapsedTimeMovesNoTrain) {
    Train& train = runningTrain(1, "A1", 14);
    stepTrains(10, report);
    for (std::int32_t elapsed : {-10, INT_MIN, 0}) {
        EXPECT_TRUE(stepTrains(elapsed, report));
        EXPECT_FLOAT_EQ(train.exactDistance, 4.27f);
    }
    stepTrains(INT_MAX, report);
    EXPECT_EQ(train.currentNode, &node("SW12")) << "one node at most in a step";
}

// Long random programs of operations on the simulation, checking after every
// movement step that the train table stays sound. Under the sanitizers it
// also shows that no input reaches undefined behaviour.
TEST(RandomizedRunTest, LongRunsKeepTheTrainTableSound) {
    HostScope scope;
    FakeLink link;
    link.open = true;
    std::mt19937 random{20240611u};
    std::vector<std::uint8_t> program(1 << 16);
    long bytes = 0, steps = 0;
    while (bytes < 1000000 || steps < 100000) {
        for (std::uint8_t& byte : program)
            byte = static_cast<std::uint8_t>(random());
        ASSERT_TRUE(fuzz::runSimulationProgram(program.data(), program.size(), &link, bytes, steps))
            << "unsound after step " << steps;
        link.written.clear(), scope.host.sounds.clear();
    }
    std::printf("decoded %ld bytes, %ld movement steps\n", bytes, steps);
}

} // namespace quillon::testing
