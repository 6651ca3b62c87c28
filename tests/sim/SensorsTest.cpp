#include "sim/Sensors.h"

#include "support/FakeHost.h"
#include "support/GeneratedLayout.h"

#include <climits>
#include <random>
#include <tuple>

namespace quillon::testing {

class SensorsTest : public WorldFixture {
protected:
    // B3 has id 9: numbers 18 and 19. It is selected and stuck.
    SensorsTest() { world.interaction.selectedNode = ref("B3"), stickSensor(world, ref("B3")); }
};

TEST_F(SensorsTest, AStuckSensorReadsTriggeredForBothItsNumbersAndNoOtherUntilUnstuck) {
    EXPECT_TRUE(isSelectedSensorStuck(world));
    for (int n : {18, 19, 20, 80, INT_MAX, -1, INT_MIN})
        EXPECT_EQ(isSensorTriggered(world, n), n == 18 || n == 19) << n;
    stickSelectedSensor(world);
    EXPECT_FALSE(isSensorTriggered(world, 18)) << "sticking again unsticks";
}

// B3 unstuck first; then a switch, a stop and no node: no contact is stuck.
TEST_F(SensorsTest, OnlyASensorCanBeStuck) {
    stickSelectedSensor(world);
    for (NodeRef selected : {ref("SW5"), ref("DE3"), NO_NODE})
        world.interaction.selectedNode = selected, stickSelectedSensor(world);
    int stuck = 0;
    for (const Track& track : world.layouts.tracks)
        for (int contact = 0; contact < CONTACT_COUNT; ++contact)
            stuck += track.stuck.test(contact);
    EXPECT_EQ(stuck, 0);
}

// A train within 4 units past A1 (id 0) in the direction of the number (0
// ahead, 1 behind); a train that has not moved yet counts as ahead.
TEST_F(SensorsTest, APassingTrainTriggersTheNumberOfItsDirection) {
    for (auto [towards, distance, number, triggered] : {std::tuple{"SW12", 4, 0, true},
                                                        {"SW12", 5, 0, false},
                                                        {"SW12", 0, 1, false},
                                                        {"DE5", 0, 1, true},
                                                        {"DE5", 0, 0, false},
                                                        {"", 0, 0, true},
                                                        {"", 0, 1, false}}) {
        runningTrain(1, "A1", 0, *towards ? towards : nullptr).distance = distance;
        EXPECT_EQ(isSensorTriggered(world, number), triggered)
            << "towards " << towards << " at " << distance << ", number " << number;
    }
}

} // namespace quillon::testing
