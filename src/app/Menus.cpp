#include "app/Menus.h"

#include "app/MenuCommands.h"

#include <cassert>
#include <cstdio>
#include <cstring>
#include <iterator>

namespace quillon {
namespace {

MenuEntry& appendEntry(PopupMenu& menu) {
    assert(menu.count < PopupMenu::CAPACITY);
    MenuEntry& entry = menu.entries[menu.count++];
    std::memset(&entry, 0, sizeof entry);
    return entry;
}

void addCommand(PopupMenu& menu, int id, const char* label, bool checked = false) {
    MenuEntry& entry = appendEntry(menu);
    entry.id = id;
    std::snprintf(entry.label, sizeof entry.label, "%s", label);
    entry.checked = checked;
}

void addSeparator(PopupMenu& menu) {
    appendEntry(menu).separator = true;
}

void clear(PopupMenu& menu) {
    menu.count = 0;
}

} // namespace

void buildTrainMenu(PopupMenu& menu, int speedStep) {
    clear(menu);
    // Only speed steps are ever checked: a train's step is 0..14, and
    // "Reverse Train" is a command, not a state.
    addCommand(menu, CMD_TRAIN_SPEED, "Stop Train", speedStep == 0);
    for (int step = 1; step <= 14; ++step) {
        char label[sizeof MenuEntry{}.label];
        std::snprintf(label, sizeof label, "Train Speed %d", step);
        addCommand(menu, CMD_TRAIN_SPEED + step, label, speedStep == step);
    }
    addCommand(menu, CMD_TRAIN_SPEED + 15, "Reverse Train");
    addSeparator(menu);
    addCommand(menu, CMD_REMOVE_TRAIN, "Remove Train");
}

void buildPlaceMenu(PopupMenu& menu, bool sensorHovered, bool sensorStuck) {
    clear(menu);
    for (int k = 0; k < static_cast<int>(std::size(PLACEABLE_TRAINS)); ++k) {
        char label[sizeof MenuEntry{}.label];
        std::snprintf(label, sizeof label, "Place Train %d", PLACEABLE_TRAINS[k]);
        addCommand(menu, CMD_PLACE_TRAIN + k, label);
    }
    if (!sensorHovered)
        return;
    addSeparator(menu);
    addCommand(menu, CMD_STICK_SENSOR, "Stick Sensor", sensorStuck);
}

void buildWindowMenu(PopupMenu& menu) {
    clear(menu);
    addCommand(menu, CMD_HIDE, "Hide");
    addSeparator(menu);
    addCommand(menu, CMD_EXPORT, "Export");
    addCommand(menu, CMD_ABOUT, "About");
    addSeparator(menu);
    addCommand(menu, CMD_CLOSE, "Close");
}

void buildTrayMenu(PopupMenu& menu, bool windowVisible) {
    clear(menu);
    if (windowVisible)
        addCommand(menu, CMD_HIDE, "Hide");
    else
        addCommand(menu, CMD_SHOW, "Show");
    addSeparator(menu);
    addCommand(menu, CMD_ABOUT, "About");
    addSeparator(menu);
    addCommand(menu, CMD_CLOSE, "Close");
}

} // namespace quillon
