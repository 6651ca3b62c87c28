#include "backends/win32/ReplaceFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace quillon {
namespace {

namespace fs = std::filesystem;

// An empty folder of its own; `target` names a file in it.
class ReplaceFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    long entries() const { return std::distance(fs::directory_iterator(dir), {}); }

    const fs::path dir = fs::temp_directory_path() / "quillon-replace-test";
    const std::string target = (dir / "track.dat").string();
};

TEST_F(ReplaceFileTest, ReplacesTheOldContentsWholeAndLeavesNoTemporaryFile) {
    std::ofstream(target, std::ios::binary) << "an old export, longer than the new";
    ASSERT_TRUE(replaceFile(target.c_str(), "new", 3));
    std::ifstream in(target, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "new");
    EXPECT_EQ(entries(), 1) << "no temporary file";
}

// A folder, and names that the system would otherwise resolve to a file
// beside it.
TEST_F(ReplaceFileTest, RefusesAFolderAndDeviceNamespaceNamesAndLeavesThemAlone) {
    const std::string folder = (dir / "folder").string();
    fs::create_directories(folder);
    for (const std::string& name : {folder, "\\\\.\\" + target, "\\\\?\\" + target})
        EXPECT_FALSE(replaceFile(name.c_str(), "new", 3)) << name;
    EXPECT_TRUE(fs::is_directory(folder));
}

} // namespace
} // namespace quillon
