// What the pointer does: hovering nodes and trains, and clicks that select
// what was hit and hand it to the simulation. The hover lives only in the
// interaction state: at most one node of the active layout and one train,
// named by hoveredNode and hoveredTrain.
#pragma once

#include "host/HostEvents.h"

#include <cstdint>

namespace quillon {

struct World;

constexpr double NODE_REACH = 8.0;   // pixels from a node's position
constexpr double TRAIN_REACH = 12.0; // pixels from a train's display position

// Hovers the last node of the active layout in table order within reach of
// (x, y). True when a repaint is due: a node is under the pointer now, or
// one was before.
bool updateHoveredNode(World& world, std::int32_t x, std::int32_t y);

// Hovers the last train in use in table order within reach of (x, y) and
// records (x, y) as the last pointer position. True when a repaint is due,
// as for nodes.
bool updateHoveredTrain(World& world, std::int32_t x, std::int32_t y);

// The train hover tested again at the last pointer position, after trains
// moved; false at once before the pointer has ever moved.
bool retestHoveredTrain(World& world);

// True when hoveredNode is set and is a sensor.
bool hoveredNodeIsSensor(const World& world);

// The number of the selected train, 0 when none is selected.
std::int32_t selectedTrainNumber(const World& world);

// A press of button. With a train hovered: selects it; left toggles its held
// flag, middle reverses it keeping its speed step. Otherwise with a node
// hovered: selects it; left toggles a switch (SwitchChanged), left and
// middle fire a sensor's first and second number into the report
// (SensorFired). True when something was hovered; false leaves the
// selection as it was. The simulation carries out what the click asks.
bool handleClick(World& world, PointerButton button);

} // namespace quillon
