#include "track/TrackExport.h"

#include "support/FakeHost.h"

#include <cstring>

namespace quillon::testing {

using TrackExportTest = WorldFixture;

// Entry i of the dump is "0xHH, " with CR LF after every 16th entry but the
// last; the byte after the dump is left as it was.
TEST_F(TrackExportTest, TheDumpHoldsTheRecordByteForByte) {
    const std::string digits = "0123456789ABCDEF";
    for (int layout : {LAYOUT_A, LAYOUT_B}) {
        std::string text(RAW_EXPORT_SIZE + 1, '#');
        TrackLayout record = recordOf(world.layouts.tracks[layout]);
        formatRawLayout(record, text.data());
        const auto* bytes = reinterpret_cast<const unsigned char*>(&record);
        for (std::size_t i = 0, at = 2; i < sizeof(TrackLayout); ++i, at += i % 16 ? 6 : 8)
            ASSERT_EQ(digits.find(text[at]) * 16 + digits.find(text[at + 1]), bytes[i])
                << "layout " << layout << ", byte " << i;
        EXPECT_EQ(text.rfind("\r\n"), 28908u) << "12 entries on the last line";
        EXPECT_EQ(text.substr(RAW_EXPORT_SIZE - 2), ", #") << "nothing after the last entry";
    }
}

// The switch text: C curved, S straight, for slots 0..21.
static std::string switchText(const char* pattern) {
    std::string text = "{\r\n";
    for (int slot = 0; slot < SWITCH_SLOTS; ++slot)
        text += pattern[slot] == 'S' ? "\tSWITCH_DIR_STRAIGHT,\r\n" : "\tSWITCH_DIR_CURVED,\r\n";
    return text + "}\r\n";
}

TEST_F(TrackExportTest, TheSwitchTextListsTheDirectionsInSlotOrder) {
    setSwitch(world, 0x99, SWITCH_DIR_STRAIGHT); // slot 18
    EXPECT_EQ(formatSwitchDirections(recordOf(activeTrack(world.layouts))).text,
              switchText("CCCSCSSCCSCCSCCSSCSSSC"));
    EXPECT_EQ(formatSwitchDirections(TrackLayout{}).text, switchText("CCCCCCCCCCCCCCCCCCCCCC"))
        << "a slot without a switch reads curved";
}

// Every switch straight gives the longest text: 512 characters and the NUL.
TEST_F(TrackExportTest, TheLongestSwitchTextFitsItsBuffer) {
    TrackLayout layout = recordOf(activeTrack(world.layouts));
    for (int slot = 0; slot < SWITCH_SLOTS; ++slot)
        switchNode(layout, static_cast<std::uint8_t>(slot)).direction = SWITCH_DIR_STRAIGHT;
    SwitchText text = formatSwitchDirections(layout);
    EXPECT_EQ(text.length, 512u);
    EXPECT_EQ(std::strlen(text.text), 512u);
    EXPECT_EQ(sizeof text.text, 513u);
}

} // namespace quillon::testing
