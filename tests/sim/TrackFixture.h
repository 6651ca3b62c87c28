// A test fixture with both built-in layouts loaded, layout A active, no
// trains and a fresh recording host.
#pragma once

#include "sim/Trains.h"
#include "support/FakeHost.h"
#include "track/BuiltinLayouts.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace quillon::testing {

class TrackFixture : public ::testing::Test {
  protected:
    TrackFixture() { loadBuiltinLayouts(); }

    // The active layout's node of that name; fails the test when none has it.
    static TrackNode& node(const char* name) {
        TrackLayout& layout = activeLayout();
        for (int i = 0; i < layout.nodeCount; ++i) {
            if (std::strcmp(layout.nodes[i].name, name) == 0)
                return layout.nodes[i];
        }
        ADD_FAILURE() << "no node named " << name;
        return layout.nodes[0];
    }

    // A train placed on the named node at the given speed step.
    static Train& runningTrain(int number, const char* at, std::uint32_t speed) {
        Train& train = *placeTrain(number, node(at));
        train.speed = speed;
        return train;
    }

    // A train at step 14 set on the segment from one node to a neighbour,
    // at distance 0.
    static Train& trainOnSegment(int number, const char* from, const char* to) {
        Train& train = runningTrain(number, from, 14);
        for (NodeEdge& edge : train.currentNode->edges) {
            if (edge.dest == node(to).index)
                train.edge = &edge;
        }
        EXPECT_NE(train.edge, nullptr) << from << " to " << to;
        train.nextNode = &node(to);
        return train;
    }

    std::vector<int>& sounds() { return scope.host.sounds; }

    HostScope scope;
};

} // namespace quillon::testing
