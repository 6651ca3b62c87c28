#include "view/LayoutScaling.h"

#include "sim/Pixels.h"
#include "sim/World.h"

#include <cmath>
#include <cstdint>

namespace quillon {
namespace {

// One coordinate: ((value - min) / span) * extent, quotient first and then
// product, each in double precision, truncated toward zero, plus the offset.
// span and extent are taken as single-precision floats, which holds them
// exactly for every size a window can have. An axis without extent gives the
// offset: 0 / 0 has no value to convert.
std::int32_t scaleCoordinate(std::int64_t offsetInLayout, std::int64_t span, float extent) {
    if (span == 0)
        return SCALE_OFFSET;
    double quotient = static_cast<double>(offsetInLayout) / static_cast<float>(span);
    double product = quotient * extent;
    return truncateToPixel(std::trunc(product) + SCALE_OFFSET);
}

} // namespace

void rescaleLayout(TrackLayout& layout, const NodeView (&views)[MAX_NODES], int width, int height) {
    int count = usedSlots(layout);
    if (count < 1)
        return;
    const NodeView& first = views[layout.nodes[0].index];
    std::int32_t minX = first.layoutX, maxX = first.layoutX;
    std::int32_t minY = first.layoutY, maxY = first.layoutY;
    for (int i = 1; i < count; ++i) {
        const NodeView& view = views[layout.nodes[i].index];
        if (view.layoutX < minX)
            minX = view.layoutX;
        if (view.layoutX > maxX)
            maxX = view.layoutX;
        if (view.layoutY < minY)
            minY = view.layoutY;
        if (view.layoutY > maxY)
            maxY = view.layoutY;
    }
    // Differences of extreme coordinates need 33 bits.
    std::int64_t spanX = std::int64_t{maxX} - minX;
    std::int64_t spanY = std::int64_t{maxY} - minY;
    float extentX = static_cast<float>(std::int64_t{width} - SCALE_RESERVE);
    float extentY = static_cast<float>(std::int64_t{height} - SCALE_RESERVE);
    for (int i = 0; i < count; ++i) {
        TrackNode& node = layout.nodes[i];
        const NodeView& view = views[node.index];
        node.x = scaleCoordinate(std::int64_t{view.layoutX} - minX, spanX, extentX);
        node.y = scaleCoordinate(std::int64_t{view.layoutY} - minY, spanY, extentY);
    }
}

void rescaleBothLayouts(World& world, int width, int height) {
    for (int i = 0; i < LAYOUT_COUNT; ++i)
        rescaleLayout(world.layouts.records[i], world.layouts.views[i], width, height);
    updateDisplayPositions(world);
}

} // namespace quillon
