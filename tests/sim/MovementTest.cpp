#include "sim/Movement.h"

#include "link/SensorReport.h"
#include "sim/TrackFixture.h"
#include "sim/Trains.h"

#include <climits>
#include <string>

namespace quillon {
namespace {

using Sounds = std::vector<int>;

class MovementTest : public testing::TrackFixture {
  protected:
    // 10 ms steps until the train leaves its current node or stops; the
    // number of steps taken.
    int stepsUntilNextNode(const Train& train) {
        const TrackNode* from = train.currentNode;
        int steps = 0;
        while (train.currentNode == from && !train.crashed && steps < 100000) {
            stepTrains(10, report);
            ++steps;
        }
        return steps;
    }

    SensorReport report{};
};

TEST_F(MovementTest, AdvancesByTheVelocityTableToTheStep) {
    struct Row {
        std::uint32_t speed;
        std::int32_t elapsed;
        float exact;
        int stepsTo218; // 10 ms steps until the first edge, 218 to SW12, is run
    };
    for (Row row : {Row{14, 10, 4.27f, 52}, Row{1, 1000, 42.0f, 520}}) {
        resetTrains();
        Train& train = runningTrain(1, "A1", row.speed);
        EXPECT_TRUE(stepTrains(row.elapsed, report));
        EXPECT_EQ(train.nextNode, &node("SW12"));
        EXPECT_FLOAT_EQ(train.exactDistance, row.exact);
        EXPECT_EQ(train.distance, static_cast<int>(row.exact));

        resetTrains();
        Train& timed = runningTrain(1, "A1", row.speed);
        EXPECT_EQ(stepsUntilNextNode(timed), row.stepsTo218) << row.speed;
        EXPECT_EQ(timed.currentNode, &node("SW12"));
        EXPECT_EQ(timed.exactDistance, 0.0f);
    }
}

TEST_F(MovementTest, RunsFromA1ThroughTheLayoutLatchingItsSensorsInOrder) {
    Train& train = runningTrain(1, "A1", 14);
    std::vector<std::string> passed;
    std::vector<int> latched;
    while (passed.size() < 12 && !train.crashed) {
        stepsUntilNextNode(train);
        passed.push_back(train.currentNode->name);
        for (int n = 0; n < SENSOR_NUMBERS; ++n) {
            if (report.bytes[n / 8] & (0x80 >> (n % 8)))
                latched.push_back(n);
        }
        report.clear();
    }
    EXPECT_EQ(passed, (std::vector<std::string>{"SW12", "SW11", "C13", "E7", "D7", "SW9", "SW8",
                                                "E9", "E13", "SW17", "D13", "B1"}));
    EXPECT_EQ(latched, (std::vector<int>{44, 70, 54, 73, 76, 60, 17}));
    EXPECT_EQ(train.nextNode, &node("SW16"));
    EXPECT_EQ(sounds(), Sounds{SOUND_TRAIN_PLACED});
}

TEST_F(MovementTest, FacingMovesFollowTheSwitchAndTrailingMovesTakeTheCommonLeg) {
    struct Row {
        const char* from; // SW8: straight to D9, curved to E9, common leg to SW9
        std::int32_t direction;
        const char* after;
    };
    for (Row row : {Row{"SW9", SWITCH_DIR_CURVED, "E9"}, Row{"SW9", SWITCH_DIR_STRAIGHT, "D9"},
                    Row{"D9", SWITCH_DIR_CURVED, "SW9"}, Row{"E9", SWITCH_DIR_STRAIGHT, "SW9"}}) {
        resetTrains();
        node("SW8").direction = row.direction;
        Train& train = trainOnSegment(1, row.from, "SW8");
        stepsUntilNextNode(train);
        ASSERT_EQ(train.currentNode, &node("SW8"));
        EXPECT_STREQ(train.nextNode->name, row.after) << row.from << " " << row.direction;
        EXPECT_EQ(node("SW8").direction, row.direction);
    }
}

TEST_F(MovementTest, StopNodesStartTrainsAndHaltThem) {
    Train& leaving = runningTrain(1, "DE6", 14);
    stepTrains(10, report);
    EXPECT_EQ(leaving.nextNode, &node("A15"));

    resetTrains();
    Train& train = runningTrain(1, "A15", 14); // 145 ahead to DE6
    sounds().clear();
    EXPECT_EQ(stepsUntilNextNode(train), 34);
    EXPECT_EQ(train.crashed, 1);
    EXPECT_EQ(train.nextNode, &node("DE6"));
    EXPECT_EQ(train.distance, 145);
    EXPECT_FALSE(stepTrains(10, report)); // a crashed train is not due to move
    EXPECT_EQ(sounds(), Sounds{SOUND_HALT});
}

// On layout A, A1 (100, 10) and SW12 (180, 11) are 80.006 apart over a track
// of 218: 0.367 per unit, so 27 units are 9.9, 28 are 10.28, 30 are 11.01.
TEST_F(MovementTest, TrainsMeetingHeadOnCrashTogetherWithOneSound) {
    node("SW12").direction = SWITCH_DIR_STRAIGHT;
    Train& east = runningTrain(1, "A1", 14);
    Train& west = runningTrain(2, "SW12", 14);
    sounds().clear();
    // Train 1 moves first and measures train 2 where it stood after the step
    // before. On step 22 train 2, at 93, finds train 1 at 93: 32 apart. On
    // step 23 train 1, at 98, finds train 2 at 93: 27 apart.
    EXPECT_EQ(stepsUntilNextNode(east), 23);
    EXPECT_EQ(east.crashed + west.crashed, 2);
    EXPECT_EQ(east.distance, 98);
    EXPECT_EQ(west.distance, 93);
    EXPECT_EQ(sounds(), Sounds{SOUND_COLLISION});
}

TEST_F(MovementTest, TrainsCrashWhenTheirPixelGapTruncatesToTenOrLess) {
    struct Row {
        const char* from; // a standing train on A1 to SW12, or on the next track
        std::int32_t distance;
        bool crash;
    };
    for (Row row :
         {Row{"A1", 28, true}, Row{"A1", 29, true}, Row{"A1", 30, false}, Row{"SW12", 0, false}}) {
        resetTrains();
        Train& runner = trainOnSegment(1, "A1", "SW12");
        runner.speed = 1; // 0.42 in a step: still at distance 0
        Train& standing =
            trainOnSegment(2, row.from, row.from == std::string("A1") ? "SW12" : "SW11");
        standing.speed = 0;
        standing.distance = row.distance;
        stepTrains(10, report);
        EXPECT_EQ(runner.crashed, row.crash) << row.from << " " << row.distance;
        EXPECT_EQ(standing.crashed, row.crash) << row.from << " " << row.distance;
    }
}

TEST_F(MovementTest, ARunningTrainCrashesIntoAStandingOrHeldOneAgainAndAgain) {
    for (bool held : {false, true}) {
        resetTrains();
        Train& runner = runningTrain(1, "A1", 14);
        Train& standing = runningTrain(2, "SW12", held ? 5 : 0);
        standing.held = held;
        sounds().clear();
        stepsUntilNextNode(runner);
        EXPECT_EQ(runner.distance, 192) << held; // 218 - 188 = 30 is 11.01 pixels
        EXPECT_EQ(standing.crashed, 1);
        EXPECT_EQ(standing.nextNode, nullptr);
        setTrainSpeed(1, 14, true);
        stepTrains(10, report);
        EXPECT_EQ(runner.crashed + standing.crashed, 2);
        EXPECT_EQ(sounds(), (Sounds{SOUND_COLLISION, SOUND_COLLISION}));
    }
}

TEST_F(MovementTest, ATrainNeverRunsOntoAMissingOrEmptyEdge) {
    for (NodeEdge broken :
         {NodeEdge{-1, 0}, NodeEdge{72, 218}, NodeEdge{51, 0}, NodeEdge{51, -5}}) {
        TrackNode& a1 = node("A1");
        NodeEdge saved = a1.edges[EDGE_AHEAD];
        a1.edges[EDGE_AHEAD] = broken;
        for (const char* start : {"A1", "DE5"}) { // on A1, or arriving there
            resetTrains();
            sounds().clear();
            Train& train = runningTrain(1, start, 14);
            stepsUntilNextNode(train);
            EXPECT_EQ(train.crashed, 1) << start << " " << broken.dest;
            EXPECT_EQ(train.currentNode, &node(start));
            EXPECT_EQ(train.distance, start == std::string("A1") ? 0 : 500);
            EXPECT_EQ(sounds(), (Sounds{SOUND_TRAIN_PLACED, SOUND_HALT}));
        }
        a1.edges[EDGE_AHEAD] = saved;
    }
    // A change of the active layout: A's B9 leads behind to node 70, which
    // layout B (70 nodes) does not have.
    Train& train = trainOnSegment(1, "A5", "B9");
    train.distance = 640;
    train.exactDistance = 640.0f;
    TrackNode* b9OfA = train.nextNode;
    selectLayout(LAYOUT_B);
    stepsUntilNextNode(train);
    EXPECT_EQ(train.crashed, 1);
    EXPECT_EQ(train.nextNode, b9OfA);
    EXPECT_EQ(train.distance, 649);
}

TEST_F(MovementTest, ANegativeElapsedTimeMovesNoTrain) {
    Train& train = runningTrain(1, "A1", 14);
    stepTrains(10, report);
    for (std::int32_t elapsed : {-10, INT_MIN, 0}) {
        EXPECT_TRUE(stepTrains(elapsed, report));
        EXPECT_FLOAT_EQ(train.exactDistance, 4.27f);
    }
    stepTrains(INT_MAX, report); // a whole wrapped clock still passes one node only
    EXPECT_EQ(train.currentNode, &node("SW12"));
}

} // namespace
} // namespace quillon
