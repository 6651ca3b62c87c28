#include "track/BuiltinLayouts.h"

#include "platform/Host.h"
#include "track/LayoutParser.h"

#include <cassert>
#include <cstring>

namespace quillon {
namespace {
TrackLayout layouts[2];
TrackLayout* active = &layouts[LAYOUT_A];
} // namespace

NodeView nodeViews[NODE_VIEWS];

TrackLayout& layoutRecord(int index) {
    assert(index == LAYOUT_A || index == LAYOUT_B);
    return layouts[index];
}

NodeView& nodeView(const TrackLayout& layout, const TrackNode& node) {
    int offset = layout.nodeCount == layouts[LAYOUT_A].nodeCount ? 0 : MAX_NODES;
    return nodeViews[node.index + offset];
}

void initNodeViews(TrackLayout& layout) {
    for (int i = 0; i < layout.nodeCount; ++i) {
        TrackNode& node = layout.nodes[i];
        NodeView& view = nodeView(layout, node);
        view.layoutX = node.x;
        view.layoutY = node.y;
        view.hovered = 0;
        view.stuck = 0;
    }
}

void loadBuiltinLayouts() {
    if (parseTrackLayout(LAYOUT_A_TEXT, layouts[LAYOUT_A]) == -1)
        showMessage(MessageIcon::Error, "Error parsing data for track A");
    if (parseTrackLayout(LAYOUT_B_TEXT, layouts[LAYOUT_B]) == -1)
        showMessage(MessageIcon::Error, "Error parsing data for track B");
    initNodeViews(layouts[LAYOUT_A]);
    initNodeViews(layouts[LAYOUT_B]);
    selectLayout(LAYOUT_A);
}

void selectLayout(int index) {
    active = &layoutRecord(index);
}

TrackLayout& activeLayout() {
    return *active;
}

int activeLayoutIndex() {
    return active->nodeCount == layouts[LAYOUT_A].nodeCount ? 0 : 1;
}

void resetLayouts() {
    std::memset(layouts, 0, sizeof layouts);
    std::memset(nodeViews, 0, sizeof nodeViews);
    active = &layouts[LAYOUT_A];
}

} // namespace quillon
