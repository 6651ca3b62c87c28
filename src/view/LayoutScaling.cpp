#include "view/LayoutScaling.h"

#include "sim/Pixels.h"
#include "sim/World.h"

#include <algorithm>
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

void rescaleTrack(Track& track, int width, int height) {
    int count = track.nodeCount();
    if (count < 1)
        return;
    const Node& first = track.nodes[0];
    std::int32_t minX = first.layoutX, maxX = first.layoutX;
    std::int32_t minY = first.layoutY, maxY = first.layoutY;
    for (const Node& node : track.nodes) {
        minX = std::min(minX, node.layoutX);
        maxX = std::max(maxX, node.layoutX);
        minY = std::min(minY, node.layoutY);
        maxY = std::max(maxY, node.layoutY);
    }
    // Differences of extreme coordinates need 33 bits.
    std::int64_t spanX = std::int64_t{maxX} - minX;
    std::int64_t spanY = std::int64_t{maxY} - minY;
    float extentX = static_cast<float>(std::int64_t{width} - SCALE_RESERVE);
    float extentY = static_cast<float>(std::int64_t{height} - SCALE_RESERVE);
    for (Node& node : track.nodes) {
        node.x = scaleCoordinate(std::int64_t{node.layoutX} - minX, spanX, extentX);
        node.y = scaleCoordinate(std::int64_t{node.layoutY} - minY, spanY, extentY);
    }
    ++track.revision;
}

void rescaleLayouts(World& world, int width, int height) {
    for (Track& track : world.layouts.tracks)
        rescaleTrack(track, width, height);
    updateDisplayPositions(world);
}

} // namespace quillon
