// The colours of the display.
#pragma once

#include "host/Host.h"

namespace quillon {

constexpr Colour BLACK = rgb(0, 0, 0);             // background, disc outlines
constexpr Colour ROUTE_BLUE = rgb(64, 160, 255);   // track on a set route
constexpr Colour BRANCH_GREY = rgb(104, 104, 104); // a branch its switch is not set to
constexpr Colour HALO_GREEN = rgb(96, 255, 96);    // disc behind a hovered node
constexpr Colour SWITCH_BLUE = rgb(0, 0, 255);     // switch marker
constexpr Colour SENSOR_YELLOW = rgb(255, 255, 0); // sensor marker, hovered train
constexpr Colour STUCK_ORANGE = rgb(255, 128, 0);  // stuck sensor, "SOLENOID ACTIVE"
constexpr Colour RED = rgb(255, 0, 0);             // stop marker, train body, "CRASHED!"
constexpr Colour WHITE = rgb(255, 255, 255);       // hovered node's name, train
constexpr Colour LABEL_GREY = rgb(192, 192, 192);  // name of a sensor not hovered
constexpr Colour HEADLIGHT = rgb(255, 255, 160);   // a train's light, when on

} // namespace quillon
