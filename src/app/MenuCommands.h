// Identifiers of the popup menus' commands.
#pragma once

namespace quillon {

constexpr int CMD_SHOW = 1000;
constexpr int CMD_HIDE = 1001;
constexpr int CMD_CLOSE = 1002;
constexpr int CMD_ABOUT = 1003;
constexpr int CMD_EXPORT = 1004;
constexpr int CMD_OPEN_LAYOUT = 1005;
constexpr int CMD_EXPORT_LAYOUT = 1006;
constexpr int CMD_SHOW_LOADED = 1007; // makes the loaded layout active
constexpr int CMD_STICK_SENSOR = 2001;
constexpr int CMD_PLACE_TRAIN = 3000;  // + k, k = 0..6: PLACEABLE_TRAINS[k]
constexpr int CMD_PLACE_BEHIND = 3010; // + k: PLACEABLE_TRAINS[k], leaving its node behind
constexpr int CMD_REMOVE_TRAIN = 3100;
constexpr int CMD_TRAIN_SPEED = 3200; // + s, s = 0..15

constexpr int PLACEABLE_TRAINS[7] = {12, 22, 23, 24, 27, 52, 57};

} // namespace quillon
