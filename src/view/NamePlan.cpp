#include "view/NamePlan.h"

#include "view/LayoutPainter.h"
#include "view/TextPainter.h"

#include <algorithm>

namespace quillon {
namespace {

// [left, right) x [top, bottom) in window pixels, wide enough for any
// position a node can have. Empty when right equals left.
struct NameBox {
    std::int64_t left, top, right, bottom;

    bool overlaps(const NameBox& other) const {
        return left < other.right && other.left < right && top < other.bottom && other.top < bottom;
    }
};

// At most this many grid cells a side: the grid stays small whatever the
// layout's extent, and a box is still found in every cell it covers.
constexpr std::int64_t GRID_SIDE_MOST = 256;

// The cell of coordinate v on an axis of cells of size from origin.
int cellOf(std::int64_t v, std::int64_t origin, std::int64_t size, int cells) {
    return static_cast<int>(std::clamp<std::int64_t>((v - origin) / size, 0, cells - 1));
}

// The largest marker a node shows, a stuck sensor's disc, stays within this
// distance of the node's position.
constexpr std::int64_t MARKER_REACH = 5;

// What a name must keep clear of: node markers and the names shown so far,
// each listed in every cell of a uniform grid that its box covers, so that
// a name is compared only with what lies near it. Boxes are named by their
// index in the plan's boxes: names first, then one marker per node.
class NameGrid {
public:
    NameGrid(const NameBox& extent, std::int64_t cellWidth, std::int64_t cellHeight)
        : left_(extent.left), top_(extent.top), cellWidth_(cellWidth), cellHeight_(cellHeight) {
        columns_ = static_cast<int>(
            std::min((extent.right - extent.left) / cellWidth + 1, GRID_SIDE_MOST));
        rows_ = static_cast<int>(
            std::min((extent.bottom - extent.top) / cellHeight + 1, GRID_SIDE_MOST));
        first_.assign(static_cast<std::size_t>(columns_) * static_cast<std::size_t>(rows_), -1);
    }

    void add(const NameBox& box, std::int32_t index) {
        forEachCell(box, [&](std::size_t cell) {
            entries_.push_back({index, first_[cell]});
            first_[cell] = static_cast<std::int32_t>(entries_.size() - 1);
        });
    }

    // Calls visit with the index of each box added that may lie within
    // area, some more than once.
    template <class Visit> void near(const NameBox& area, Visit visit) const {
        forEachCell(area, [&](std::size_t cell) {
            for (std::int32_t at = first_[cell]; at >= 0;
                 at = entries_[static_cast<std::size_t>(at)].next)
                visit(entries_[static_cast<std::size_t>(at)].box);
        });
    }

private:
    struct Entry {
        std::int32_t box;
        std::int32_t next; // the next entry of the same cell, or -1
    };

    template <class Visit> void forEachCell(const NameBox& box, Visit visit) const {
        int left = cellOf(box.left, left_, cellWidth_, columns_);
        int right = cellOf(box.right - 1, left_, cellWidth_, columns_);
        int top = cellOf(box.top, top_, cellHeight_, rows_);
        int bottom = cellOf(box.bottom - 1, top_, cellHeight_, rows_);
        for (int row = top; row <= bottom; ++row)
            for (int column = left; column <= right; ++column)
                visit(static_cast<std::size_t>(row) * static_cast<std::size_t>(columns_) +
                      static_cast<std::size_t>(column));
    }

    std::int64_t left_, top_; // the grid's top-left corner
    std::int64_t cellWidth_, cellHeight_;
    int columns_ = 1, rows_ = 1;
    std::vector<std::int32_t> first_; // per cell, its last entry, or -1
    std::vector<Entry> entries_;
};

// The character cells a sensor's name covers as drawn; empty for an empty
// name.
NameBox nameBox(const Node& node, std::int64_t charWidth, std::int64_t charHeight) {
    const char* end = std::find(node.name, node.name + sizeof node.name, '\0');
    std::int64_t width = charWidth * (end - node.name);
    if (width == 0)
        return {0, 0, 0, 0};
    std::int64_t left = node.x - (width >> 1);
    std::int64_t top = std::int64_t{node.y} - NAME_ABOVE_NODE - (charHeight >> 1);
    return {left, top, left + width, top + charHeight};
}

NameBox markerBox(const Node& node) {
    return {node.x - MARKER_REACH, node.y - MARKER_REACH, node.x + MARKER_REACH,
            node.y + MARKER_REACH};
}

NameBox widened(const NameBox& box, std::int64_t by) {
    return {box.left - by, box.top, box.right + by, box.bottom};
}

NameBox joined(const NameBox& a, const NameBox& b) {
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}

void planTrack(std::vector<std::uint8_t>& hidden, const Track& track, std::int64_t charWidth,
               std::int64_t charHeight) {
    hidden.clear();
    if (track.record || charWidth <= 0 || charHeight <= 0 || track.nodeCount() < 1)
        return;
    const auto count = static_cast<std::size_t>(track.nodeCount());
    // Names at 0..count - 1, each node's marker count places after its name.
    std::vector<NameBox> boxes(2 * count, NameBox{0, 0, 0, 0});
    NameBox extent = markerBox(track.nodes[0]);
    std::int64_t widest = 2 * MARKER_REACH;
    for (std::size_t i = 0; i < count; ++i) {
        const Node& node = track.nodes[i];
        boxes[count + i] = markerBox(node);
        extent = joined(extent, boxes[count + i]);
        if (node.type != NODE_SENSOR)
            continue;
        boxes[i] = nameBox(node, charWidth, charHeight);
        if (boxes[i].right == boxes[i].left)
            continue;
        extent = joined(extent, widened(boxes[i], charWidth));
        widest = std::max(widest, boxes[i].right - boxes[i].left + 2 * charWidth);
    }
    hidden.assign(count, 0);
    NameGrid grid(extent, widest, charHeight);
    for (std::size_t i = 0; i < count; ++i)
        grid.add(boxes[count + i], static_cast<std::int32_t>(count + i));
    for (std::size_t i = 0; i < count; ++i) {
        const NameBox& name = boxes[i];
        if (name.right == name.left)
            continue;
        // Side by side, names keep a character apart.
        const NameBox spaced = widened(name, charWidth);
        bool clear = true;
        grid.near(spaced, [&](std::int32_t at) {
            auto other = static_cast<std::size_t>(at);
            if (other == count + i)
                return;
            clear = clear && !(other < count ? spaced : name).overlaps(boxes[other]);
        });
        if (!clear) {
            hidden[i] = 1;
            continue;
        }
        grid.add(name, static_cast<std::int32_t>(i));
    }
}

} // namespace

void NamePlan::plan(const Layouts& layouts, const TextPainter* painter) {
    std::int64_t charWidth = painter != nullptr ? painter->charWidth : 0;
    std::int64_t charHeight = painter != nullptr ? painter->charHeight : 0;
    for (int layout = 0; layout < LAYOUT_COUNT; ++layout)
        planTrack(hidden_[layout], layouts.tracks[layout], charWidth, charHeight);
}

} // namespace quillon
