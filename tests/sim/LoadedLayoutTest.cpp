#include "sim/LoadedLayout.h"

#include "support/FakeHost.h"

#include <cstring>

namespace quillon::testing {

// Layout A loaded as a file would be, active, with trains placed on it.
class LoadedLayoutTest : public WorldFixture {
protected:
    void SetUp() override {
        installLoadedLayout(world, world.layouts.tracks[LAYOUT_A], false);
        selectLayout(world.layouts, LAYOUT_LOADED);
    }
    // Layout A with the node at index renamed.
    Track renamed(int index, const char* name) const {
        Track track = world.layouts.tracks[LAYOUT_A];
        std::strcpy(track.nodes[static_cast<std::size_t>(index)].name, name);
        return track;
    }
    Train& placed(std::int32_t number, const char* at, bool behind = false) {
        return *placeTrain(world, number, ref(at), behind);
    }
};

// Names, not indexes, carry a train over: A1 moves from index 0 to 1.
TEST_F(LoadedLayoutTest, AKeptTrainStandsOnTheNodeOfTheSameName) {
    placed(12, "A1");
    Track next = renamed(0, "Q1");
    std::strcpy(next.nodes[1].name, "A1");
    installLoadedLayout(world, std::move(next), true);
    EXPECT_EQ(world.trains.trains[0].currentNode, (NodeRef{LAYOUT_LOADED, 1}));
}

TEST_F(LoadedLayoutTest, AKeptTrainLeavesTheWayItWasGoing) {
    for (bool behind : {false, true}) {
        placed(12, "A3", behind);
        installLoadedLayout(world, renamed(5, "Q5"), true);
        EXPECT_EQ(world.trains.trains[0].leavesBehind, behind ? 1 : 0) << behind;
    }
}

// A train under way towards A1's behind neighbour starts again from A1,
// going behind.
TEST_F(LoadedLayoutTest, AMovingTrainIsSetBackToLeaveAlongItsSegment) {
    const Track& track = activeTrack(world.layouts);
    const int behind = node("A1").edges[EDGE_BEHIND].dest;
    runningTrain(12, "A1", 5, track.nodes[static_cast<std::size_t>(behind)].name);
    installLoadedLayout(world, renamed(5, "Q5"), true);
    EXPECT_EQ(world.trains.trains[0].leavesBehind, 1);
}

TEST_F(LoadedLayoutTest, ATrainWhoseNodeIsGoneIsRemoved) {
    placed(12, "A1");
    placed(24, "A3");
    installLoadedLayout(world, renamed(1, "Q3"), true);
    ASSERT_EQ(world.trains.count, 1);
    EXPECT_EQ(world.trains.trains[0].number, 12);
}

TEST_F(LoadedLayoutTest, WithoutKeepingEveryTrainOnItGoesAndOthersStay) {
    placed(12, "A1");
    placeTrain(world, 24, findNode(world.layouts, LAYOUT_A, "A3"));
    const LayoutSwap swap = installLoadedLayout(world, world.layouts.tracks[LAYOUT_A], false);
    EXPECT_EQ(swap.removed, 1);
    EXPECT_EQ(world.trains.trains[0].number, 24);
}

TEST_F(LoadedLayoutTest, NoHoverOrSelectionRefersToTheReplacedLayout) {
    placed(12, "A1");
    world.interaction.hoveredNode = ref("A3");
    world.interaction.selectedNode = ref("A5");
    world.interaction.selectedTrain = 0;
    installLoadedLayout(world, renamed(1, "Q3"), true);
    const InteractionState& state = world.interaction;
    EXPECT_EQ((std::vector<bool>{state.hoveredNode.isNode(), state.selectedNode.isNode(),
                                 state.selectedTrain != NO_TRAIN}),
              (std::vector<bool>{false, false, false}));
}

} // namespace quillon::testing
