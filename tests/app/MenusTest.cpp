#include "app/Menus.h"

#include "app/MenuCommands.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quillon {
namespace {

// A menu as text: "id label" per entry, "*" before a checked one, "-" for a
// separator.
std::vector<std::string> describe(const PopupMenu& menu) {
    std::vector<std::string> out;
    for (int i = 0; i < menu.count; ++i) {
        const MenuEntry& entry = menu.entries[i];
        if (entry.separator) {
            out.push_back("-");
            continue;
        }
        out.push_back((entry.checked ? "*" : "") + std::to_string(entry.id) + " " + entry.label);
    }
    return out;
}

using Lines = std::vector<std::string>;

TEST(MenusTest, TrainMenuChecksTheCurrentStepOnly) {
    PopupMenu menu;
    for (int step = 0; step <= 14; ++step) {
        buildTrainMenu(menu, step);
        Lines lines = describe(menu);
        ASSERT_EQ(lines.size(), 18u);
        Lines expected = {"3200 Stop Train"};
        for (int s = 1; s <= 14; ++s)
            expected.push_back(std::to_string(3200 + s) + " Train Speed " + std::to_string(s));
        expected.insert(expected.end(), {"3215 Reverse Train", "-", "3100 Remove Train"});
        expected[step] = "*" + expected[step];
        EXPECT_EQ(lines, expected);
    }
    buildTrainMenu(menu, 15);
    for (int i = 0; i < menu.count; ++i)
        EXPECT_FALSE(menu.entries[i].checked) << "Reverse Train is never checked";
}

TEST(MenusTest, PlaceMenuWithAndWithoutStickSensor) {
    PopupMenu menu;
    const Lines places = {"3000 Place Train 12", "3001 Place Train 22", "3002 Place Train 23",
                          "3003 Place Train 24", "3004 Place Train 27", "3005 Place Train 52",
                          "3006 Place Train 57"};
    buildPlaceMenu(menu, false, true);
    EXPECT_EQ(describe(menu), places);
    Lines sensor = places;
    sensor.insert(sensor.end(), {"-", "2001 Stick Sensor"});
    buildPlaceMenu(menu, true, false);
    EXPECT_EQ(describe(menu), sensor);
    sensor.back() = "*2001 Stick Sensor";
    buildPlaceMenu(menu, true, true);
    EXPECT_EQ(describe(menu), sensor);
}

TEST(MenusTest, WindowAndTrayMenus) {
    PopupMenu menu;
    buildWindowMenu(menu);
    EXPECT_EQ(describe(menu),
              (Lines{"1001 Hide", "-", "1004 Export", "1003 About", "-", "1002 Close"}));
    buildTrayMenu(menu, true);
    EXPECT_EQ(describe(menu), (Lines{"1001 Hide", "-", "1003 About", "-", "1002 Close"}));
    buildTrayMenu(menu, false);
    EXPECT_EQ(describe(menu), (Lines{"1000 Show", "-", "1003 About", "-", "1002 Close"}));
}

} // namespace
} // namespace quillon
