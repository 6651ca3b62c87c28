#include "app/Snapshot.h"

#include "support/FakeHost.h"
#include "support/LayoutFiles.h"

#include <algorithm>

namespace quillon::testing {

// No pointer hovers over a picture: every sensor shows its contacts.
TEST(SnapshotTest, EverySensorShowsItsContacts) {
    TempFolder folder;
    const std::string file = folder.write("a.layout", layoutAText());
    const char* arguments[] = {"quillon", "--layout", file.c_str()};
    const ParsedOptions options = parseOptions(3, arguments, nullptr);
    ASSERT_TRUE(options.ok) << options.error;
    FakeHost host;
    drawSnapshot(host, host.surface, options.app, 512, 320);
    const auto& texts = host.surface.texts;
    const long pairs = std::count_if(texts.begin(), texts.end(), [](const Drawn& text) {
        return text.text.find('/') != std::string::npos;
    });
    const Track& track = *options.app.loadedLayout;
    EXPECT_EQ(pairs, std::count_if(track.nodes.begin(), track.nodes.end(),
                                   [](const Node& node) { return node.type == NODE_SENSOR; }));
}

} // namespace quillon::testing
