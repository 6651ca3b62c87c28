#include "app/Menus.h"

#include <gtest/gtest.h>

#include <string>

namespace quillon::testing {

// "|id label" per entry, a "*" before a checked one's id, "|-" per separator.
static std::string describe(const PopupMenu& menu) {
    std::string out;
    for (int i = 0; i < menu.count; ++i) {
        const MenuEntry& entry = menu.entries[i];
        out += entry.separator ? "|-"
                               : "|" + std::string(entry.checked ? "*" : "") +
                                     std::to_string(entry.id) + " " + entry.label;
    }
    return out;
}

// "Reverse Train" is a command, never a state: step 15 checks nothing.
TEST(MenusTest, TheTrainMenuChecksTheTrainsStepOnly) {
    PopupMenu menu;
    for (int step = 0; step <= 15; ++step) {
        std::string expected = step == 0 ? "|*3200 Stop Train" : "|3200 Stop Train";
        for (int s = 1; s <= 14; ++s)
            expected += "|" + std::string(s == step ? "*" : "") + std::to_string(3200 + s) +
                        " Train Speed " + std::to_string(s);
        buildTrainMenu(menu, step);
        EXPECT_EQ(describe(menu), expected + "|3215 Reverse Train|-|3100 Remove Train") << step;
    }
}

TEST(MenusTest, ThePlaceMenuOffersToStickASensorUnderThePointer) {
    const std::string place = "|3000 Place Train 12|3001 Place Train 22|3002 Place Train 23"
                              "|3003 Place Train 24|3004 Place Train 27|3005 Place Train 52"
                              "|3006 Place Train 57";
    PopupMenu menu;
    buildPlaceMenu(menu, false, true);
    EXPECT_EQ(describe(menu), place);
    buildPlaceMenu(menu, true, true);
    EXPECT_EQ(describe(menu), place + "|-|*2001 Stick Sensor");
}

TEST(MenusTest, TheWindowAndTrayMenus) {
    PopupMenu menu;
    buildWindowMenu(menu);
    EXPECT_EQ(describe(menu), "|1001 Hide|-|1004 Export|1003 About|-|1002 Close");
    buildTrayMenu(menu, false);
    EXPECT_EQ(describe(menu), "|1000 Show|-|1003 About|-|1002 Close");
    buildTrayMenu(menu, true);
    EXPECT_EQ(describe(menu), "|1001 Hide|-|1003 About|-|1002 Close");
}

} // namespace quillon::testing
