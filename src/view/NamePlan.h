// Which sensor names each layout shows, decided when the layouts are scaled
// so that painting only looks the answer up. On a crowded layout names would
// cover one another and the markers of other nodes; there a name is drawn
// only where it keeps clear of them. The built-in layouts show every name.
#pragma once

#include "track/Layouts.h"

#include <cstdint>
#include <vector>

namespace quillon {

class TextPainter;

class NamePlan {
public:
    // Plans every layout of layouts as scaled now, for the painter's
    // character cell. A layout with a built-in record, or a painter without
    // metrics, shows every name. Otherwise, in node order, a sensor's name
    // is shown when its character cells overlap no other node's marker and
    // keep clear of every name shown before it, by at least a character's
    // width side by side. Allocates: call it after scaling, never while
    // painting.
    void plan(const Layouts& layouts, const TextPainter* painter);

    // Per node of the layout, nonzero where its name is hidden while the
    // node is not hovered; nullptr when every name shows: a layout that was
    // not planned, or not with nodeCount nodes.
    const std::uint8_t* hiddenNames(int layout, int nodeCount) const {
        if (layout < 0 || layout >= LAYOUT_COUNT)
            return nullptr;
        const std::vector<std::uint8_t>& hidden = hidden_[layout];
        if (hidden.empty() || hidden.size() != static_cast<std::size_t>(nodeCount))
            return nullptr;
        return hidden.data();
    }

private:
    // Per node, 1 where the name is hidden; empty where every name shows.
    std::vector<std::uint8_t> hidden_[LAYOUT_COUNT];
};

} // namespace quillon
