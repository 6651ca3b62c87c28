#include "backends/posix/ControllerSocket.h"
#include "backends/posix/TestProcess.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace quillon {
namespace {

class ControllerSocketTest : public ::testing::Test {
protected:
    int listen() { return listenForSimulator(path.c_str(), error); }

    testing::Folder folder;
    std::string dir = folder.path, path = folder / "track";
    char error[SOCKET_ERROR_CAPACITY] = {};
};

TEST_F(ControllerSocketTest, OnlyThisUserMayConnect) {
    const int listener = listen();
    ASSERT_GE(listener, 0) << error;
    struct stat status {};
    ASSERT_EQ(::lstat(path.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);
    ::close(listener);
}

TEST_F(ControllerSocketTest, AStaleSocketOfThisUserIsReplaced) {
    ::close(listen());
    const int listener = listen();
    EXPECT_GE(listener, 0) << error;
    const int client = connectToSocket(path.c_str());
    EXPECT_GE(acceptConnection(listener, 1000), 0) << "the new socket listens";
    ::close(client);
    ::close(listener);
}

TEST_F(ControllerSocketTest, ALiveListenerIsLeftAloneUnderAnySpellingOfItsPath) {
    const int first = listen();
    ASSERT_GE(first, 0) << error;
    char here[4096];
    ASSERT_NE(::getcwd(here, sizeof here), nullptr);
    ASSERT_EQ(::chdir(dir.c_str()), 0);
    for (const std::string& spelling :
         {path, std::string("track"), std::string("./track"), dir + "//track", dir + "/./track"}) {
        EXPECT_EQ(listenForSimulator(spelling.c_str(), error), -1) << spelling;
        EXPECT_STREQ(error, ("another program listens at " + spelling).c_str());
    }
    ASSERT_EQ(::chdir(here), 0);
    EXPECT_EQ(acceptConnection(first, 0), -1) << "the listener never sees a peer come and go";
    ::close(first);
}

TEST_F(ControllerSocketTest, AFileIsLeftAlone) {
    std::FILE* file = std::fopen(path.c_str(), "w");
    ASSERT_NE(file, nullptr);
    std::fclose(file);
    EXPECT_EQ(listen(), -1);
    EXPECT_EQ(::access(path.c_str(), F_OK), 0) << "the file is kept";
}

TEST_F(ControllerSocketTest, ASymbolicLinkToOurOwnSocketIsLeftAlone) {
    const std::string target = dir + "/real";
    char targetError[SOCKET_ERROR_CAPACITY];
    const int real = listenForSimulator(target.c_str(), targetError);
    ASSERT_EQ(::symlink(target.c_str(), path.c_str()), 0);
    EXPECT_EQ(listen(), -1);
    ::close(real);
    ::unlink(target.c_str());
}

} // namespace
} // namespace quillon
