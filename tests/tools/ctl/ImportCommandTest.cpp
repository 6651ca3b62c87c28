// quillon-ctl import and check on Rocrail plans, as their own processes.
#include "backends/posix/TestProcess.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace quillon {
namespace {

using testing::Folder;
using testing::slurp;
using Process = testing::TestProcess;

const std::string OVAL = std::string(QUILLON_PLANS) + "/oval.xml";

TEST(ImportCommandTest, WritesThePlacesOfThePlansLocosAfterTheLayout) {
    Folder folder;
    Process import(folder, "import", {QUILLON_CTL, "import", OVAL});
    ASSERT_EQ(import.exitStatus(), 0) << slurp(import.err);
    EXPECT_NE(slurp(import.out).find("# --place 3:B1:behind\n# --place 5:B3\n"), std::string::npos)
        << slurp(import.out);
}

TEST(ImportCommandTest, APlanWithAnErrorWritesNothingAndEndsWithTwo) {
    Folder folder;
    std::ofstream(folder / "bad.xml") << "<plan>\n<tklist>\n<tk id=\"q\" type=\"spiral\"/>\n"
                                         "</tklist>\n</plan>\n";
    Process import(folder, "import", {QUILLON_CTL, "import", folder / "bad.xml"});
    EXPECT_EQ(import.exitStatus(), 2);
    EXPECT_EQ(slurp(import.out), "");
    EXPECT_EQ(slurp(import.err).substr(0, slurp(import.err).find('\n')),
              folder / "bad.xml" + ":3: tile q: unknown track type 'spiral'");
}

TEST(ImportCommandTest, CheckSumsUpAPlanAndSaysItsLocosUseLights) {
    Folder folder;
    Process check(folder, "check", {QUILLON_CTL, "check", OVAL});
    ASSERT_EQ(check.exitStatus(), 0) << slurp(check.err);
    EXPECT_EQ(slurp(check.out), OVAL + ": Rocrail plan, 11 nodes, 2 switches, 2 trains placed, 0 "
                                       "warnings; locos use lights: run with --commands full\n");
}

} // namespace
} // namespace quillon
