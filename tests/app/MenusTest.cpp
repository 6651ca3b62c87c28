#include "app/Menus.h"

#include "app/MenuCommands.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace quillon::testing {

// The labels are checked where a backend shows the menus; here the ids and
// the check marks.
// "Reverse Train" is a command, never a state: step 15 checks nothing.
TEST(MenusTest, TheTrainMenuChecksTheTrainsStepOnly) {
    PopupMenu menu;
    for (int step = 0; step <= 15; ++step) {
        buildTrainMenu(menu, step);
        ASSERT_EQ(menu.count, 18) << "stop, 14 steps, reverse, a separator and remove";
        for (int i = 0; i <= 15; ++i) {
            EXPECT_EQ(menu.entries[i].id, CMD_TRAIN_SPEED + i);
            EXPECT_EQ(menu.entries[i].checked, i == step && step < 15) << i << " at step " << step;
        }
    }
}

// The entries before keep their places; the submenu holds one entry per
// placeable train.
TEST(MenusTest, PlacingBehindIsASubmenuAfterTheOtherEntries) {
    PopupMenu menu;
    buildPlaceMenu(menu, true, false);
    ASSERT_EQ(menu.count, 18);
    EXPECT_EQ(menu.entries[8].id, CMD_STICK_SENSOR);
    EXPECT_TRUE(menu.entries[9].separator);
    EXPECT_EQ(menu.entries[10].submenu, 7);
    for (int k = 0; k < 7; ++k)
        EXPECT_EQ(menu.entries[11 + k].id, CMD_PLACE_BEHIND + k) << k;
}

TEST(MenusTest, TheTrayMenuOffersToShowAHiddenWindowAndToHideAShownOne) {
    PopupMenu menu;
    buildTrayMenu(menu, false);
    EXPECT_EQ(menu.entries[0].id, CMD_SHOW);
    buildTrayMenu(menu, true);
    EXPECT_EQ(menu.entries[0].id, CMD_HIDE);
}

TEST(MenusTest, TheWindowMenuOffersTheLoadedLayoutOnlyOnceOneIsLoaded) {
    for (bool loaded : {false, true}) {
        PopupMenu menu;
        buildWindowMenu(menu, loaded);
        const MenuEntry* begin = menu.entries;
        const MenuEntry* end = begin + menu.count;
        const bool offered = std::find_if(begin, end, [](const MenuEntry& entry) {
                                 return entry.id == CMD_SHOW_LOADED;
                             }) != end;
        EXPECT_EQ(offered, loaded);
    }
}

} // namespace quillon::testing
