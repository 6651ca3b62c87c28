#include "track/TrackExport.h"

#include "support/FakeHost.h"

#include <cstring>

namespace quillon::testing {

class TrackExportTest : public WorldFixture {
protected:
    // The dump of the record, and after it a byte that it leaves as it was.
    std::string dump(int layout) {
        std::string out(RAW_EXPORT_SIZE + 1, '#');
        formatRawLayout(world.layouts.records[layout], out.data());
        return out;
    }
    // The value of entry i of the dump: "0xHH, ", CR LF after every 16th;
    // not a byte unless both digits are upper-case hexadecimal.
    static std::size_t entry(const std::string& dump, std::size_t i) {
        const std::string digits = "0123456789ABCDEF";
        std::size_t at = i * 6 + (i / 16) * 2 + 2;
        return digits.find(dump[at]) * 16 + digits.find(dump[at + 1]);
    }
};

TEST_F(TrackExportTest, TheDumpHoldsTheRecordByteForByte) {
    for (int layout : {LAYOUT_A, LAYOUT_B}) {
        std::string text = dump(layout);
        const auto* bytes = reinterpret_cast<const unsigned char*>(&world.layouts.records[layout]);
        for (std::size_t i = 0; i < sizeof(TrackLayout); ++i)
            ASSERT_EQ(entry(text, i), bytes[i]) << "layout " << layout << ", byte " << i;
    }
}

TEST_F(TrackExportTest, TheDumpBreaksALineAfterEvery16thEntryButTheLast) {
    std::string text = dump(LAYOUT_A);
    EXPECT_EQ(text.rfind("\r\n"), 28908u) << "12 entries on the last line";
    EXPECT_EQ(text.substr(RAW_EXPORT_SIZE - 2), ", #") << "nothing after the last entry";
}

// The switch text: C curved, S straight, for slots 0..21.
static std::string switchText(const char* pattern) {
    std::string text = "{\r\n";
    for (int slot = 0; slot < SWITCH_SLOTS; ++slot)
        text += pattern[slot] == 'S' ? "\tSWITCH_DIR_STRAIGHT,\r\n" : "\tSWITCH_DIR_CURVED,\r\n";
    return text + "}\r\n";
}

TEST_F(TrackExportTest, TheSwitchTextListsTheDirectionsInSlotOrder) {
    switchNode(activeLayout(world.layouts), 18).direction = SWITCH_DIR_STRAIGHT; // switch 0x99
    SwitchText text = formatSwitchDirections(activeLayout(world.layouts));
    EXPECT_EQ(text.text, switchText("CCCSCSSCCSCCSCCSSCSSSC"));
}

TEST_F(TrackExportTest, ASlotWithoutASwitchReadsCurved) {
    EXPECT_EQ(formatSwitchDirections(TrackLayout{}).text, switchText("CCCCCCCCCCCCCCCCCCCCCC"));
}

// Every switch straight gives the longest text: 512 characters and the NUL.
TEST_F(TrackExportTest, TheLongestSwitchTextFitsItsBuffer) {
    TrackLayout& layout = activeLayout(world.layouts);
    for (int slot = 0; slot < SWITCH_SLOTS; ++slot)
        switchNode(layout, static_cast<std::uint8_t>(slot)).direction = SWITCH_DIR_STRAIGHT;
    SwitchText text = formatSwitchDirections(layout);
    EXPECT_EQ(text.length, 512u);
    EXPECT_EQ(std::strlen(text.text), 512u);
    EXPECT_EQ(sizeof text.text, 513u);
}

} // namespace quillon::testing
