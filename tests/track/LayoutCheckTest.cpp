#include "track/LayoutCheck.h"

#include "sim/World.h"
#include "track/LayoutFile.h"

#include <gtest/gtest.h>

#include <string>

namespace quillon::testing {
namespace {

// The warnings for a layout in the named form, each as "node: message".
std::vector<std::string> warningsFor(const std::string& text) {
    Track track;
    std::vector<LayoutError> errors;
    EXPECT_TRUE(loadLayout(text, track, errors)) << text;
    std::vector<std::string> found;
    for (const LayoutWarning& warning : checkLayout(track))
        found.push_back(std::to_string(warning.node) + ": " + warning.message);
    return found;
}

} // namespace

TEST(LayoutCheckTest, WarnsOfWhatLoadsButIsLikelyWrong) {
    const std::string pair = "stop A at 0 0 ahead B 5\nstop B at 1 1 ahead A 5\n";
    const std::pair<std::string, std::vector<std::string>> rows[] = {
        {pair, {}},
        {"stop A at 0 0 ahead B 5\nstop B at 1 1\n",
         {"0: edge A ahead -> B has no edge back from B"}},
        {"switch W at 0 0 number 1 behind A 5 curved B 5\nstop A at 0 0 ahead W 5\n"
         "stop B at 0 0 ahead W 5\n",
         {"0: switch W: its straight branch leads nowhere"}},
        {pair + "sensor C at 0 0 id 2 ahead A 1\nsensor D at 0 0 contacts 9 5 ahead A 1\n",
         {"2: edge C ahead -> A has no edge back from A",
          "3: edge D ahead -> A has no edge back from A",
          "3: sensor D reports contact 5 (A6), as C does"}},
        {"sensor C at 0 0 contact 7\n" + pair,
         {"1: the part with A (2 nodes) cannot be reached from C"}},
        {pair + "stop C at 0 0\nstop D at 0 0 ahead E 1\nstop E at 0 0 ahead D 1\n",
         {"2: the part with C (1 node) cannot be reached from A",
          "3: the part with D (2 nodes) cannot be reached from A"}},
    };
    for (const auto& [text, expected] : rows)
        EXPECT_EQ(warningsFor(text), expected) << text;
}

TEST(LayoutCheckTest, TheBuiltInLayoutsHaveNoDoubts) {
    const World world = makeWorld();
    EXPECT_TRUE(checkLayout(world.layouts.tracks[LAYOUT_A]).empty());
    EXPECT_TRUE(checkLayout(world.layouts.tracks[LAYOUT_B]).empty());
}

} // namespace quillon::testing
