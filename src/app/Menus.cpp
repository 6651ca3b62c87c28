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

// One entry per placeable train, its number after prefix, from id first.
void addPlaceEntries(PopupMenu& menu, int first, const char* prefix) {
    for (int k = 0; k < static_cast<int>(std::size(PLACEABLE_TRAINS)); ++k) {
        char label[sizeof MenuEntry{}.label];
        std::snprintf(label, sizeof label, "%s%d", prefix, PLACEABLE_TRAINS[k]);
        addCommand(menu, first + k, label);
    }
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
    addPlaceEntries(menu, CMD_PLACE_TRAIN, "Place Train ");
    if (sensorHovered) {
        addSeparator(menu);
        addCommand(menu, CMD_STICK_SENSOR, "Stick Sensor", sensorStuck);
    }
    // The entries above keep their places; placing behind comes after them.
    addSeparator(menu);
    MenuEntry& behind = appendEntry(menu);
    std::snprintf(behind.label, sizeof behind.label, "%s", "Place Behind");
    behind.submenu = static_cast<int>(std::size(PLACEABLE_TRAINS));
    addPlaceEntries(menu, CMD_PLACE_BEHIND, "Train ");
}

void buildWindowMenu(PopupMenu& menu, bool hasLoadedLayout) {
    clear(menu);
    addCommand(menu, CMD_HIDE, "Hide");
    addSeparator(menu);
    addCommand(menu, CMD_OPEN_LAYOUT, "Open Layout...");
    if (hasLoadedLayout)
        addCommand(menu, CMD_SHOW_LOADED, "Loaded Layout");
    addCommand(menu, CMD_EXPORT_LAYOUT, "Export Layout...");
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
