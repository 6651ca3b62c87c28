// What the pointer does: hovering nodes and trains, and clicks that select
// and act on them. The operations keep InteractionState, the nodes' hovered
// flags and the trains' hovered flags consistent: at most one node of the
// active layout and one train hovered, named by hoveredNode and hoveredTrain.
#pragma once

#include <cstdint>

namespace quillon {

struct SensorReport;

constexpr int BUTTON_LEFT = 0;
constexpr int BUTTON_RIGHT = 1;
constexpr int BUTTON_MIDDLE = 2;

constexpr double NODE_REACH = 8.0;   // pixels from a node's position
constexpr double TRAIN_REACH = 12.0; // pixels from a train's display position

// Hovers the last node of the active layout in table order within reach of
// (x, y), clearing every other node's hovered flag. True when a repaint is
// due: a node is under the pointer, or a hovered flag was cleared.
bool updateHoveredNode(std::int32_t x, std::int32_t y);

// Hovers the last train in use in table order within reach of (x, y) and
// records (x, y) as the last pointer position. x = -1 tests the last
// position instead, and returns false at once before the pointer has moved.
// True when a repaint is due, as for nodes.
bool updateHoveredTrain(std::int32_t x, std::int32_t y);

// True when hoveredNode is set and is a sensor.
bool hoveredNodeIsSensor();

// The number of selectedTrain, 0 when none is selected.
std::int32_t selectedTrainNumber();

// A press of button (0 left, 1 right, 2 middle); x and y are not used. With a
// train hovered: selects it; left toggles its held flag, middle reverses it
// keeping its speed step. Otherwise with a node hovered: selects it; left
// toggles a switch (sound 104), left and middle fire a sensor's first and
// second number into report (sound 107). True when something was hovered;
// false leaves the selection as it was.
bool handleClick(std::int32_t x, std::int32_t y, int button, SensorReport& report);

} // namespace quillon
