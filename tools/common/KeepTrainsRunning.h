// What the in-process tools do as a user would, so that trains keep moving
// for as long as a run lasts, and how they look at the running program.
#pragma once

#include "common/ProcStatus.h"

#include "sim/World.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace quillon::tools {

// A sensor node of the active layout with no train within 40 pixels,
// looking on from the spot after the last one given.
inline NodeRef freeSensorNode(const World& world, int& spot) {
    const Track& track = activeTrack(world.layouts);
    for (int tries = 0; tries < track.nodeCount(); ++tries) {
        spot = (spot + 7) % track.nodeCount();
        const Node& node = track.nodes[static_cast<std::size_t>(spot)];
        if (node.type != NODE_SENSOR)
            continue;
        bool taken = false;
        for (int i = 0; i < world.trains.count; ++i) {
            const Train& t = world.trains.trains[i];
            taken |= std::abs(t.displayX - node.x) + std::abs(t.displayY - node.y) < 40;
        }
        if (!taken)
            break;
    }
    return activeNode(world.layouts, spot);
}

// The trains that have a speed step and have not crashed.
inline int movingTrains(const World& world) {
    int moving = 0;
    for (int i = 0; i < world.trains.count; ++i)
        moving += world.trains.trains[i].speed > 0 && !world.trains.trains[i].crashed;
    return moving;
}

// Trains 1..COUNT kept going: one that halted, crashed or was stopped is
// turned round and set going at its step again; one still stuck at the next
// look is put on a sensor node that no train is near.
template <int COUNT> class TrainKeeper {
public:
    explicit TrainKeeper(int (*stepOf)(int number)) : stepOf_(stepOf) {}

    void look(World& world) {
        for (int number = 1; number <= COUNT; ++number) {
            Train* train = trainByNumber(world.trains, number);
            bool stuck = train == nullptr || train->crashed || train->speed == 0;
            if (stuck && (stuckBefore_[number] || train == nullptr))
                train = placeTrain(world, number, freeSensorNode(world, spot_));
            else if (stuck)
                setTrainSpeed(world, *train, SPEED_REVERSE, false);
            if (stuck && train != nullptr)
                setTrainSpeed(world, *train, stepOf_(number), false);
            stuckBefore_[number] = stuck && !stuckBefore_[number];
        }
    }

private:
    int (*stepOf_)(int);
    bool stuckBefore_[COUNT + 1] = {};
    int spot_ = 0;
};

} // namespace quillon::tools
