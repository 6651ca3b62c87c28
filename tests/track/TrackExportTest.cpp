#include "track/TrackExport.h"

#include "support/FakeHost.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#if __has_include(<sys/resource.h>)
#include <csignal>
#include <sys/resource.h>
#endif

namespace quillon::testing {

using TrackExportTest = TrackFixture;

// The dump of each record: entries "0xHH, ", CR LF after every 16th.
TEST_F(TrackExportTest, DumpsTheRecordByteForByte) {
    const int switchIndexes[SWITCH_SLOTS] = {40, 41, 42, 43, 44, 45, 46, 47, 48, 49, 50,
                                             51, 52, 53, 54, 55, 56, 57, 61, 58, 59, 60};
    for (int index : {LAYOUT_A, LAYOUT_B}) {
        std::string dump(28982 + 1, '#'); // a byte more than the dump
        formatRawLayout(layoutRecord(index), dump.data());
        EXPECT_EQ(std::tuple(dump.rfind("\r\n"), dump.substr(28980)), std::tuple(28908u, ", #"))
            << "28982 bytes, 12 entries on the last line and no line end after them";
        auto entry = [&dump](std::size_t i) {
            return std::stoi(dump.substr(i * 6 + (i / 16) * 2 + 2, 2), nullptr, 16);
        };
        const auto* bytes = reinterpret_cast<const unsigned char*>(&layoutRecord(index));
        for (std::size_t i = 0; i < sizeof(TrackLayout); ++i)
            ASSERT_EQ(entry(i), bytes[i]) << "byte " << i;
        for (int slot = 0; slot < SWITCH_SLOTS; ++slot)
            EXPECT_EQ(entry(4644 + 4 * slot), switchIndexes[slot]) << "slot " << slot;
        for (std::size_t i = 4204; i < 4324 && index == LAYOUT_B; ++i)
            ASSERT_EQ(entry(i), 0) << "layout B's empty node slots 70 and 71, byte " << i;
        EXPECT_EQ(dump.substr(0, 98), (index == LAYOUT_A ? "0x48" : "0x46") +
                                          std::string(", 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, "
                                                      "0x00, 0x00, 0x00, 0x00, 0x41, 0x31, 0x00, "
                                                      "0x00, \r\n"));
    }
}

// The file holds exactly the dump; an export that could not write all of it
// reports false and leaves no partial file.
TEST_F(TrackExportTest, WritesTheDumpOrReportsFalse) {
    std::string path = ::testing::TempDir() + "quillon-export-test.dat";
    ASSERT_TRUE(exportRawLayout(path.c_str(), LAYOUT_B));
    std::string file;
    {
        std::ifstream in(path, std::ios::binary); // closed before the file is removed
        file.assign(std::istreambuf_iterator<char>(in), {});
    }
    std::string dump(RAW_EXPORT_SIZE, '\0');
    formatRawLayout(layoutRecord(LAYOUT_B), dump.data());
    EXPECT_EQ(file, dump);

    EXPECT_FALSE(exportRawLayout("no-such-directory/track.dat", LAYOUT_A));
#if __has_include(<sys/resource.h>)
    // A file that may not grow to the dump's size: the write comes up short.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 1000;
    setrlimit(RLIMIT_FSIZE, &small);
    bool exported = exportRawLayout(path.c_str(), LAYOUT_A);
    setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_FALSE(exported) << "a short write is no export";
    EXPECT_FALSE(std::filesystem::exists(path)) << "no partial file is left";
#endif
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
}

TEST_F(TrackExportTest, SwitchDirectionsOnTheClipboard) {
    auto text = [](const char* pattern) {
        std::string text = "{\r\n";
        for (int slot = 0; slot < SWITCH_SLOTS; ++slot)
            text +=
                pattern[slot] == 'S' ? "\tSWITCH_DIR_STRAIGHT,\r\n" : "\tSWITCH_DIR_CURVED,\r\n";
        return text + "}\r\n";
    };
    copySwitchDirections();
    EXPECT_EQ(scope.host.clipboard, text("CCCSCSSCCSCCSCCSSCCSSC"));
    switchNode(activeLayout(), 18).direction = SWITCH_DIR_STRAIGHT; // switch 0x99
    copySwitchDirections();
    EXPECT_EQ(scope.host.clipboard, text("CCCSCSSCCSCCSCCSSCSSSC"));
}

} // namespace quillon::testing
