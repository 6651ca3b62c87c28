#include "backends/headless/EventJson.h"

#include "sim/LoadedLayout.h"
#include "sim/World.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace quillon::headless {
namespace {

// A loaded layout's names run to 31 printable characters, quotes and
// backslashes among them; the log keeps them whole and valid.
TEST(EventJsonTest, ALongNameWithQuotesIsLoggedWholeAndEscaped) {
    World world = makeWorld();
    Track track = world.layouts.tracks[LAYOUT_A];
    std::string name = "Quay \"North\" \\ ";
    const std::string rest(NODE_NAME_CAPACITY - 1 - name.size(), 'x');
    name += rest;
    std::strcpy(track.nodes[0].name, name.c_str());
    installLoadedLayout(world, std::move(track), false);
    char text[EVENT_JSON_CAPACITY];
    const Event event = makeEvent(EventKind::TrainPlaced, 12, 0, NodeRef{LAYOUT_LOADED, 0});
    ASSERT_GT(formatEventJson(0, event, world, LogContext{}, text), 0u);
    EXPECT_NE(std::string(text).find(R"("node":"Quay \"North\" \\ )" + rest + "\""),
              std::string::npos)
        << text;
}

} // namespace
} // namespace quillon::headless
