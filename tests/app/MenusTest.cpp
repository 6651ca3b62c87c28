#include "app/Menus.h"

#include <gtest/gtest.h>

#include <span>
#include <string>
#include <vector>

namespace quillon {
namespace {

using Lines = std::vector<std::string>;

// "id label" per entry, "*" before a checked one, "-" for a separator.
Lines describe(const PopupMenu& menu) {
    Lines out;
    for (const MenuEntry& entry : std::span(menu.entries, menu.count))
        out.push_back(entry.separator ? "-"
                                      : (entry.checked ? "*" : "") + std::to_string(entry.id) +
                                            " " + entry.label);
    return out;
}

TEST(MenusTest, TrainMenuChecksTheCurrentStepOnly) {
    Lines all = {"3200 Stop Train"};
    for (int s = 1; s <= 14; ++s)
        all.push_back(std::to_string(3200 + s) + " Train Speed " + std::to_string(s));
    all.insert(all.end(), {"3215 Reverse Train", "-", "3100 Remove Train"});
    PopupMenu menu;
    for (int step = 0; step <= 15; ++step) {
        buildTrainMenu(menu, step);
        Lines expected = all;
        if (step < 15) // "Reverse Train" is a command, never a state
            expected[step] = "*" + expected[step];
        EXPECT_EQ(describe(menu), expected);
    }
}

TEST(MenusTest, PlaceWindowAndTrayMenus) {
    PopupMenu menu;
    Lines place = {"3000 Place Train 12", "3001 Place Train 22", "3002 Place Train 23",
                   "3003 Place Train 24", "3004 Place Train 27", "3005 Place Train 52",
                   "3006 Place Train 57"};
    buildPlaceMenu(menu, false, true);
    EXPECT_EQ(describe(menu), place);
    place.insert(place.end(), {"-", "*2001 Stick Sensor"});
    buildPlaceMenu(menu, true, true);
    EXPECT_EQ(describe(menu), place);
    buildWindowMenu(menu);
    EXPECT_EQ(describe(menu),
              (Lines{"1001 Hide", "-", "1004 Export", "1003 About", "-", "1002 Close"}));
    buildTrayMenu(menu, false);
    EXPECT_EQ(describe(menu), (Lines{"1000 Show", "-", "1003 About", "-", "1002 Close"}));
    buildTrayMenu(menu, true);
    EXPECT_EQ(describe(menu)[0], "1001 Hide");
}

} // namespace
} // namespace quillon
