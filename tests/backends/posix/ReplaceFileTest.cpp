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

class ReplaceFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::path(::testing::TempDir()) /
              ("replace-" +
               std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        target = (dir / "track.dat").string();
    }
    void TearDown() override { fs::remove_all(dir); }

    static std::string contents(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    void write(const std::string& text) { std::ofstream(target, std::ios::binary) << text; }
    long entries() const { return std::distance(fs::directory_iterator(dir), {}); }

    fs::path dir;
    std::string target;
};

TEST_F(ReplaceFileTest, ReplacesTheOldContentsWhole) {
    write("an old export that is longer than the new one");
    ASSERT_TRUE(replaceFile(target.c_str(), "new", 3));
    EXPECT_EQ(contents(target), "new");
}

TEST_F(ReplaceFileTest, KeepsTheModeOfTheFileItReplaces) {
    write("old");
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write);
    ASSERT_TRUE(replaceFile(target.c_str(), "new", 3));
    EXPECT_EQ(fs::status(target).permissions(), fs::perms::owner_read | fs::perms::owner_write);
}

// A write cut short by the file size limit: the old file is untouched.
TEST_F(ReplaceFileTest, AFailedWriteLeavesTheOldFileAndNoTemporaryFile) {
    write("the user's previous export");
    std::string big(100000, 'x');
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 1000;
    ::setrlimit(RLIMIT_FSIZE, &small);
    bool replaced = replaceFile(target.c_str(), big.data(), big.size());
    ::setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_FALSE(replaced);
    EXPECT_EQ(contents(target), "the user's previous export");
    EXPECT_EQ(entries(), 1) << "no temporary file is left";
}

TEST_F(ReplaceFileTest, RefusesAFifoWithoutWaitingOnIt) {
    ASSERT_EQ(::mkfifo(target.c_str(), 0600), 0);
    EXPECT_FALSE(replaceFile(target.c_str(), "new", 3));
    EXPECT_TRUE(fs::is_fifo(target));
}

TEST_F(ReplaceFileTest, FailsInAFolderThatDoesNotExist) {
    std::string path = (dir / "missing" / "track.dat").string();
    EXPECT_FALSE(replaceFile(path.c_str(), "new", 3));
}

} // namespace
} // namespace quillon
