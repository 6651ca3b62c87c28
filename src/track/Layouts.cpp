#include "track/Layouts.h"

#include <cstring>

namespace quillon {

void selectLayout(Layouts& layouts, int index) {
    assert(index >= 0 && index < LAYOUT_COUNT);
    layouts.active = index;
}

NodeRef activeNode(const Layouts& layouts, int index) {
    assert(index >= 0 && index < activeTrack(layouts).nodeCount());
    return NodeRef{static_cast<std::int16_t>(layouts.active), static_cast<std::int16_t>(index)};
}

NodeRef activeNodeOrNone(const Layouts& layouts, std::int32_t index) {
    if (index < 0 || index >= activeTrack(layouts).nodeCount())
        return NO_NODE;
    return activeNode(layouts, index);
}

NodeRef findNode(const Layouts& layouts, int layout, const char* name) {
    if (layout < 0 || layout >= LAYOUT_COUNT)
        return NO_NODE;
    return findNodeAs(layouts.tracks[layout], layout, name);
}

NodeRef findNodeAs(const Track& track, int layout, const char* name) {
    const int index = findNodeNamed(track, name);
    if (index == NO_INDEX)
        return NO_NODE;
    return NodeRef{static_cast<std::int16_t>(layout), static_cast<std::int16_t>(index)};
}

} // namespace quillon
