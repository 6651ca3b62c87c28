// The popup menus, built as data. Each builder fills menu from scratch.
#pragma once

#include "host/Host.h"

namespace quillon {

// "Stop Train", "Train Speed 1".."Train Speed 14", "Reverse Train" (ids
// 3200..3215), the entry of speedStep checked (none for a step outside
// 0..14); a separator; "Remove Train" (3100).
void buildTrainMenu(PopupMenu& menu, int speedStep);

// "Place Train %d" for each of PLACEABLE_TRAINS (ids 3000..3006); with a
// sensor under the pointer also a separator and "Stick Sensor" (2001),
// checked while the sensor is stuck; then a separator and the submenu
// "Place Behind" with "Train %d" for each of PLACEABLE_TRAINS (ids
// 3010..3016), which place the train to leave its node by the behind way.
void buildPlaceMenu(PopupMenu& menu, bool sensorHovered, bool sensorStuck);

// "Hide", separator, "Open Layout...", "Loaded Layout" (only with
// hasLoadedLayout), "Export Layout...", "Export", "About", separator,
// "Close".
void buildWindowMenu(PopupMenu& menu, bool hasLoadedLayout = false);

// "Hide" while the window is visible, "Show" while it is not; separator;
// "About"; separator; "Close".
void buildTrayMenu(PopupMenu& menu, bool windowVisible);

} // namespace quillon
