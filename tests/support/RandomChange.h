// Random changes to a running application's world, for tests that compare
// frames composed in part with full recompositions.
#pragma once

#include "app/SimulatorApp.h"
#include "sim/Movement.h"
#include "sim/Sensors.h"
#include "view/Pointer.h"

#include <random>

namespace quillon::testing {

// One random change to the world, as the user, the controller or time
// would make it.
inline void randomChange(SimulatorApp& app, std::mt19937& random) {
    World& world = app.world();
    auto pick = [&](int count) {
        return std::uniform_int_distribution<int>(0, count > 0 ? count - 1 : 0)(random);
    };
    const Track& track = activeTrack(world.layouts);
    const int index = pick(track.nodeCount());
    const Node& node = track.nodes[static_cast<std::size_t>(index)];
    Train* train =
        world.trains.count > 0 ? &world.trains.trains[pick(world.trains.count)] : nullptr;
    switch (pick(13)) {
    case 0:
        placeTrain(world, 1 + pick(60), activeNode(world.layouts, index), pick(2) != 0);
        break;
    case 1:
        if (train != nullptr)
            setTrainSpeed(world, *train, pick(16), false);
        break;
    case 2:
    case 3:
    case 4:
        stepTrains(world, 10 + pick(300));
        retestHoveredTrain(world);
        break;
    case 5:
        setSwitch(world, 1 + pick(22), pick(2));
        world.solenoidActive = true;
        break;
    case 6:
        app.onPointerMove(node.x + pick(7) - 3, node.y + pick(7) - 3);
        break;
    case 7:
        if (train != nullptr)
            app.onPointerMove(train->displayX, train->displayY);
        break;
    case 8:
        world.interaction.selectedNode = activeNode(world.layouts, index);
        stickSelectedSensor(world);
        break;
    case 9:
        if (train != nullptr)
            train->light ^= 1;
        world.powerOn = pick(4) != 0;
        world.solenoidActive = pick(2) != 0;
        break;
    case 10:
        if (train != nullptr)
            removeTrain(world, train->number);
        break;
    case 11:
        // Turned round where it stands, its light shows the other way.
        if (train != nullptr)
            setTrainLight(world, train->number, true), setTrainSpeed(world, *train, 15, false);
        break;
    default:
        if (pick(4) == 0)
            app.onSize(false, 204 + pick(400), 128 + pick(250));
        else if (pick(3) == 0)
            selectLayout(world.layouts, LAYOUT_LOADED);
        else
            app.onKeyDown(pick(2) == 0 ? Key::A : Key::B, false);
        break;
    }
}

} // namespace quillon::testing
