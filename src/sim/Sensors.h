// Whether a sensor number reads as triggered, and sticking sensors.
#pragma once

#include <cstdint>

namespace quillon {

struct World;

// True when sensor number n (0..79) of the active layout reads as triggered
// now: its node is stuck or a train stands within 4 units past it in that
// number's direction. Any other n reads false.
bool isSensorTriggered(const World& world, std::int32_t n);

// True when the selected node is a sensor whose stuck flag is set in the
// active layout's view entries.
bool isSelectedSensorStuck(const World& world);

// Toggles the stuck flag of the selected node when it is a sensor.
void stickSelectedSensor(World& world);

} // namespace quillon
