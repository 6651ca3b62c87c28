// The simulated world as one value: the layouts and which is active, the
// train table, the interaction state, the sensor latch, the solenoid and the
// track power, and the events not yet acted on. It refers to its parts by index, never by address,
// so a copy is an independent world. Every operation of the core reaches it through a reference its
// owner passes.
#pragma once

#include "sim/Events.h"
#include "sim/InteractionState.h"
#include "sim/Trains.h"
#include "track/BuiltinLayouts.h"

#include <cassert>

namespace quillon {

struct World {
    Layouts layouts{};
    TrainTable trains{};
    InteractionState interaction{};
    // The contacts latched since the controller last asked for them.
    ContactBits latched{};
    // On after a switch command from the controller, off after solenoid off.
    bool solenoidActive = false;
    EventLog events{};
    // Off after a stop command of the full command set: trains stand, switch
    // commands are not carried out.
    bool powerOn = true;
};

inline NodeEdge& edgeAt(World& world, EdgeRef ref) {
    assert(ref.slot >= 0 && ref.slot < 3);
    return nodeAt(world.layouts, ref.node).edges[ref.slot];
}

inline const NodeEdge& edgeAt(const World& world, EdgeRef ref) {
    assert(ref.slot >= 0 && ref.slot < 3);
    return nodeAt(world.layouts, ref.node).edges[ref.slot];
}

// A world with both built-in layouts loaded and layout A active; the
// loader's messages go to messages when given.
World makeWorld(LoadMessages* messages = nullptr);

} // namespace quillon
