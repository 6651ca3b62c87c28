#include "sim/World.h"

#include "fuzz/SimulationProgram.h"
#include "support/FakeHost.h"

#include <cstdio>
#include <random>

namespace quillon::testing {

using WorldTest = WorldFixture;

// A copy is a world of its own: stepping and switching one leaves the other
// as it was.
TEST_F(WorldTest, ACopyRunsIndependently) {
    Train& train = runningTrain(1, "A1", 14);
    stepTrains(world, 10);
    world.latched.set(5);
    World copy = world;
    for (int step = 0; step < 100; ++step)
        stepTrains(copy, 10);
    setSwitch(copy, 12, SWITCH_DIR_STRAIGHT);
    copy.latched.clear();
    EXPECT_FLOAT_EQ(train.exactDistance, 4.27f);
    EXPECT_STREQ(name(train.currentNode), "A1");
    EXPECT_EQ(node("SW12").direction, SWITCH_DIR_CURVED);
    EXPECT_EQ(world.latched.bytes[0], 0x04);
    EXPECT_EQ(world.events.count, 1) << "only the placement";
}

// Long random programs of operations on copies of start, checking the world
// after every operation, until both targets are reached. Under the
// sanitizers it also shows that no input reaches undefined behaviour, the
// switch text included.
void runRandomPrograms(const World& start, long targetBytes, long targetSteps) {
    std::mt19937 random{20240611u};
    std::vector<std::uint8_t> program(1 << 16);
    long bytes = 0, steps = 0;
    while (bytes < targetBytes || steps < targetSteps) {
        for (std::uint8_t& byte : program)
            byte = static_cast<std::uint8_t>(random());
        World world = start;
        ASSERT_TRUE(fuzz::runSimulationProgram(world, program.data(), program.size(), bytes, steps))
            << "unsound after step " << steps;
    }
    std::printf("decoded %ld bytes, %ld movement steps\n", bytes, steps);
}

TEST(RandomizedRunTest, LongRunsKeepTheWorldSound) {
    runRandomPrograms(makeWorld(), 1000000, 100000);
}

} // namespace quillon::testing
