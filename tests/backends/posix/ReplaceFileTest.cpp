#include "backends/posix/ReplaceFile.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>

namespace quillon {
namespace {

namespace fs = std::filesystem;

// A fresh folder holding the user's previous export.
class ReplaceFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(::mkdtemp(dir.data()), nullptr);
        target = dir + "/track.dat";
        std::ofstream(target) << "the user's previous export";
    }
    void TearDown() override { fs::remove_all(dir); }
    std::string contents() const {
        std::ifstream in(target);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    std::string dir = ::testing::TempDir() + "replace-XXXXXX";
    std::string target;
};

TEST_F(ReplaceFileTest, ReplacesTheOldContentsWhole) {
    ASSERT_TRUE(replaceFile(target.c_str(), "new", 3));
    EXPECT_EQ(contents(), "new");
}

// A write cut short by the file size limit.
TEST_F(ReplaceFileTest, AFailedWriteLeavesTheOldFileAndNoTemporaryFile) {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small{1000, saved.rlim_max};
    ::setrlimit(RLIMIT_FSIZE, &small);
    bool replaced = replaceFile(target.c_str(), std::string(100000, 'x').data(), 100000);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_FALSE(replaced);
    EXPECT_EQ(contents(), "the user's previous export");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), {}), 1) << "no temporary file is left";
}

TEST_F(ReplaceFileTest, RefusesAFifoWithoutWaitingOnIt) {
    fs::remove(target);
    ASSERT_EQ(::mkfifo(target.c_str(), 0600), 0);
    EXPECT_FALSE(replaceFile(target.c_str(), "new", 3));
    EXPECT_TRUE(fs::is_fifo(target));
}

} // namespace
} // namespace quillon
