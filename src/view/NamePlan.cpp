#include "view/NamePlan.h"

#include "view/LayoutPainter.h"
#include "view/TextPainter.h"

#include <algorithm>

namespace quillon {
namespace {

// [left, right) x [top, bottom) in window pixels, wide enough for any
// position a node can have.
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

// The shown names, each listed in every cell of a uniform grid that its box
// covers, so that a new name is compared only with the names near it.
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

    // True when box overlaps no box added before.
    bool clear(const NameBox& box, const std::vector<NameBox>& boxes) const {
        bool found = false;
        forEachCell(box, [&](std::size_t cell) {
            for (std::int32_t at = first_[cell]; at >= 0 && !found;
                 at = entries_[static_cast<std::size_t>(at)].next) {
                const Entry& entry = entries_[static_cast<std::size_t>(at)];
                found = box.overlaps(boxes[static_cast<std::size_t>(entry.box)]);
            }
        });
        return !found;
    }

    void add(const NameBox& box, std::int32_t index) {
        forEachCell(box, [&](std::size_t cell) {
            entries_.push_back({index, first_[cell]});
            first_[cell] = static_cast<std::int32_t>(entries_.size() - 1);
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

// The cell a sensor's name covers as drawn, widened on the right by a
// character, so that boxes that keep clear of one another leave at least a
// character between names side by side. Empty for an empty name.
NameBox nameBox(const Node& node, std::int64_t charWidth, std::int64_t charHeight) {
    const char* end = std::find(node.name, node.name + sizeof node.name, '\0');
    std::int64_t length = end - node.name;
    if (length == 0)
        return {0, 0, 0, 0};
    std::int64_t width = charWidth * length;
    std::int64_t left = node.x - (width >> 1);
    std::int64_t top = std::int64_t{node.y} - NAME_ABOVE_NODE - (charHeight >> 1);
    return {left, top, left + width + charWidth, top + charHeight};
}

void planTrack(std::vector<std::uint8_t>& hidden, const Track& track, std::int64_t charWidth,
               std::int64_t charHeight) {
    hidden.clear();
    if (track.record || charWidth <= 0 || charHeight <= 0)
        return;
    const int count = track.nodeCount();
    std::vector<NameBox> boxes(static_cast<std::size_t>(count), NameBox{0, 0, 0, 0});
    NameBox extent{0, 0, 0, 0};
    std::int64_t widest = 0;
    bool any = false;
    for (int i = 0; i < count; ++i) {
        const Node& node = track.nodes[static_cast<std::size_t>(i)];
        if (node.type != NODE_SENSOR)
            continue;
        NameBox box = nameBox(node, charWidth, charHeight);
        if (box.right == box.left)
            continue;
        boxes[static_cast<std::size_t>(i)] = box;
        extent =
            any ? NameBox{std::min(extent.left, box.left), std::min(extent.top, box.top),
                          std::max(extent.right, box.right), std::max(extent.bottom, box.bottom)}
                : box;
        widest = std::max(widest, box.right - box.left);
        any = true;
    }
    if (!any)
        return;
    hidden.assign(static_cast<std::size_t>(count), 0);
    NameGrid grid(extent, widest, charHeight);
    for (int i = 0; i < count; ++i) {
        const NameBox& box = boxes[static_cast<std::size_t>(i)];
        if (box.right == box.left)
            continue;
        if (!grid.clear(box, boxes)) {
            hidden[static_cast<std::size_t>(i)] = 1;
            continue;
        }
        grid.add(box, i);
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
