// Whether a sensor number reads as triggered, and sticking sensors.
#pragma once

#include <cstdint>

namespace quillon {

// True when sensor number n (0..79) reads as triggered now: its node is stuck
// or a train stands within 4 units past it in that number's direction. A
// negative n asks whether the selected sensor node is stuck (false when no
// sensor node is selected).
bool isSensorTriggered(std::int32_t n);

// Toggles the stuck flag of the selected node when it is a sensor.
void stickSelectedSensor();

} // namespace quillon
