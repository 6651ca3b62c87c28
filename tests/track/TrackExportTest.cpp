#include "support/FakeHost.h"
#include "track/BuiltinLayouts.h"
#include "track/TrackExport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace quillon {
namespace {

namespace fs = std::filesystem;

class TrackExportTest : public ::testing::Test {
protected:
    void SetUp() override {
        loadBuiltinLayouts();
        dir = fs::temp_directory_path() /
              ("quillon-export-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
               "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    std::string exportToString(int index) {
        std::string path = (dir / "track.dat").string();
        EXPECT_TRUE(exportRawLayout(path.c_str(), index));
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    // The byte value of entry i of a dump.
    static int entry(const std::string& dump, std::size_t i) {
        std::size_t offset = i * 6 + (i / 16) * 2;
        return std::stoi(dump.substr(offset + 2, 2), nullptr, 16);
    }

    quillon::testing::HostScope scope;
    fs::path dir;
};

TEST_F(TrackExportTest, DumpMatchesTheRecordByteForByte) {
    for (int index : {LAYOUT_A, LAYOUT_B}) {
        std::string dump = exportToString(index);
        ASSERT_EQ(dump.size(), RAW_EXPORT_SIZE);
        const auto* bytes = reinterpret_cast<const unsigned char*>(&layoutRecord(index));
        for (std::size_t i = 0; i < sizeof(TrackLayout); ++i)
            ASSERT_EQ(entry(dump, i), bytes[i]) << "byte " << i;
        EXPECT_EQ(dump.substr(dump.size() - 6), "0x00, ") << "no line end after the last entry";
        EXPECT_EQ(dump.substr(dump.size() - 6 * 12 - 2, 4), "\r\n0x") << "12 entries on the last line";
    }
}

TEST_F(TrackExportTest, LayoutAFirstLineAndTables) {
    std::string dump = exportToString(LAYOUT_A);
    EXPECT_EQ(dump.substr(0, 98), "0x48, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, "
                                  "0x00, 0x00, 0x41, 0x31, 0x00, 0x00, \r\n");
    const int switchIndexes[SWITCH_SLOTS] = {40, 41, 42, 43, 44, 45, 46, 47, 48, 49, 50,
                                             51, 52, 53, 54, 55, 56, 57, 61, 58, 59, 60};
    for (int slot = 0; slot < SWITCH_SLOTS; ++slot) {
        EXPECT_EQ(entry(dump, 4644 + 4 * slot), switchIndexes[slot]);
        EXPECT_EQ(entry(dump, 4644 + 4 * slot + 1), 0);
    }
    int lines = 0;
    for (char c : dump)
        lines += c == '\n';
    EXPECT_EQ(lines, 295);
}

TEST_F(TrackExportTest, LayoutBHasEmptySlots70And71) {
    std::string dump = exportToString(LAYOUT_B);
    EXPECT_EQ(dump.substr(0, 4), "0x46");
    for (std::size_t i = 4204; i <= 4323; ++i)
        ASSERT_EQ(entry(dump, i), 0) << "byte " << i;
}

TEST_F(TrackExportTest, FailedExportsReportFalse) {
    EXPECT_FALSE(exportRawLayout((dir / "missing" / "track.dat").string().c_str(), LAYOUT_A));
    if (fs::exists("/dev/full")) {
        EXPECT_FALSE(exportRawLayout("/dev/full", LAYOUT_A)) << "a write that fails is no export";
    }
}

std::string switchText(const char* pattern) {
    std::string text = "{\r\n";
    for (int slot = 0; slot < SWITCH_SLOTS; ++slot)
        text += pattern[slot] == 'S' ? "\tSWITCH_DIR_STRAIGHT,\r\n" : "\tSWITCH_DIR_CURVED,\r\n";
    return text + "}\r\n";
}

TEST_F(TrackExportTest, SwitchDirectionsOnTheClipboard) {
    const char* startup = "CCCSCSSCCSCCSCCSSCCSSC";
    for (int index : {LAYOUT_A, LAYOUT_B}) {
        selectLayout(index);
        copySwitchDirections();
        EXPECT_EQ(scope.host.clipboard, switchText(startup));
        EXPECT_EQ(scope.host.clipboard.size(), 486u);
    }
    selectLayout(LAYOUT_A);
    switchNode(activeLayout(), 18).direction = SWITCH_DIR_STRAIGHT; // switch 0x99
    copySwitchDirections();
    EXPECT_EQ(scope.host.clipboard, switchText("CCCSCSSCCSCCSCCSSCSSSC"));
}

TEST_F(TrackExportTest, ClipboardFailureIsNotReported) {
    scope.host.failClipboard = true;
    EXPECT_FALSE(copyToClipboard("x"));
    copySwitchDirections();
    EXPECT_TRUE(scope.host.messages.empty());
    EXPECT_TRUE(scope.host.clipboard.empty());
}

} // namespace
} // namespace quillon
