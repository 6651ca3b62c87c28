#include "backends/win32/ReplaceFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace quillon {
namespace {

namespace fs = std::filesystem;

class ReplaceFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / "quillon-replace-test";
        fs::remove_all(dir);
        fs::create_directories(dir);
        target = (dir / "track.dat").string();
    }
    void TearDown() override { fs::remove_all(dir); }

    static std::string contents(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    long entries() const { return std::distance(fs::directory_iterator(dir), {}); }

    fs::path dir;
    std::string target;
};

TEST_F(ReplaceFileTest, ReplacesTheOldContentsWholeAndLeavesNoTemporaryFile) {
    std::ofstream(target, std::ios::binary) << "an old export, longer than the new";
    ASSERT_TRUE(replaceFile(target.c_str(), "new", 3));
    EXPECT_EQ(contents(target), "new");
    EXPECT_EQ(entries(), 1);
}

TEST_F(ReplaceFileTest, RefusesAFolderAndLeavesItAlone) {
    std::string folder = (dir / "folder").string();
    fs::create_directories(folder);
    EXPECT_FALSE(replaceFile(folder.c_str(), "new", 3));
    EXPECT_TRUE(fs::is_directory(folder));
}

TEST_F(ReplaceFileTest, RefusesANameInTheDeviceNamespace) {
    EXPECT_FALSE(replaceFile("\\\\.\\pipe\\quillon-not-a-file", "new", 3));
}

TEST_F(ReplaceFileTest, FailsInAFolderThatDoesNotExist) {
    std::string path = (dir / "missing" / "track.dat").string();
    EXPECT_FALSE(replaceFile(path.c_str(), "new", 3));
    EXPECT_EQ(entries(), 0);
}

} // namespace
} // namespace quillon
