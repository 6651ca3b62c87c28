// A test fixture with both built-in layouts loaded, layout A active, no
// trains and a fresh recording host.
#pragma once

#include "sim/Trains.h"
#include "support/FakeHost.h"
#include "track/BuiltinLayouts.h"

#include <gtest/gtest.h>

namespace quillon::testing {

class TrackFixture : public ::testing::Test {
  protected:
    TrackFixture() { loadBuiltinLayouts(); }

    static TrackNode& node(const char* name) { return nodeNamed(name); }

    // A train placed on the named node at the given speed step.
    static Train& runningTrain(int number, const char* at, std::uint32_t speed) {
        Train& train = *placeTrain(number, node(at));
        train.speed = speed;
        return train;
    }

    // A train at step 14 on the segment from one node to a neighbour, at 0.
    static Train& trainOnSegment(int number, const char* from, const char* to) {
        Train& train = runningTrain(number, from, 14);
        for (NodeEdge& edge : train.currentNode->edges)
            if (edge.dest == node(to).index)
                train.edge = &edge;
        train.nextNode = &node(to);
        return train;
    }

    HostScope scope;
    std::vector<int>& sounds = scope.host.sounds;
};

} // namespace quillon::testing
