#include "track/BuiltinLayouts.h"

#include <cassert>
#include <cstdio>

namespace quillon {
namespace {

void addMessage(LoadMessages& messages, const char* text) {
    if (text[0] == '\0' || messages.count >= 2 * LAYOUT_COUNT)
        return;
    std::snprintf(messages.texts[messages.count++], MESSAGE_CAPACITY, "%s", text);
}

int checkedIndex(int index) {
    assert(index >= 0 && index < MAX_NODES);
    return index;
}

} // namespace

LoadMessages loadBuiltinLayouts(Layouts& layouts) {
    LoadMessages messages{};
    const char* texts[LAYOUT_COUNT] = {LAYOUT_A_TEXT, LAYOUT_B_TEXT};
    const char* failures[LAYOUT_COUNT] = {"Error parsing data for track A",
                                          "Error parsing data for track B"};
    for (int i = 0; i < LAYOUT_COUNT; ++i) {
        ParseResult result = parseTrackLayout(texts[i], layouts.records[i]);
        if (result.status == 0)
            continue;
        addMessage(messages, result.message);
        addMessage(messages, failures[i]);
    }
    for (int i = 0; i < LAYOUT_COUNT; ++i)
        initNodeViews(layouts.records[i], layouts.views[i]);
    selectLayout(layouts, LAYOUT_A);
    return messages;
}

void initNodeViews(const TrackLayout& layout, NodeView (&views)[MAX_NODES]) {
    for (int i = 0; i < usedSlots(layout); ++i) {
        const TrackNode& node = layout.nodes[i];
        views[checkedIndex(node.index)] = NodeView{node.x, node.y, 0, 0};
    }
}

void selectLayout(Layouts& layouts, int index) {
    assert(index == LAYOUT_A || index == LAYOUT_B);
    layouts.active = index;
}

TrackLayout& activeLayout(Layouts& layouts) {
    return layouts.records[layouts.active];
}

const TrackLayout& activeLayout(const Layouts& layouts) {
    return layouts.records[layouts.active];
}

NodeRef activeNode(const Layouts& layouts, int index) {
    return NodeRef{static_cast<std::int16_t>(layouts.active),
                   static_cast<std::int16_t>(checkedIndex(index))};
}

NodeView& viewOf(Layouts& layouts, int layout, const TrackNode& node) {
    return layouts.views[layout][checkedIndex(node.index)];
}

const NodeView& viewOf(const Layouts& layouts, int layout, const TrackNode& node) {
    return layouts.views[layout][checkedIndex(node.index)];
}

} // namespace quillon
