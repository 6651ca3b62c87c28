#include "view/FrameTracker.h"

#include "sim/World.h"
#include "view/LayoutPainter.h"
#include "view/Palette.h"
#include "view/TextPainter.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace quillon {
namespace {

constexpr int NOTICE_LEFT = 8;
constexpr int NOTICE_BOTTOM_GAP = 8;
constexpr int NOTICE_MOST_CHARS = 15; // "SOLENOID ACTIVE"

// The box that a line of chars characters centred on (x, y) stays within.
// Glyphs may reach a little past their measured cells, so it has a margin
// of a cell's width and half its height all round.
PixelBox textBox(int x, int y, int chars, const TextPainter* painter) {
    if (painter == nullptr || chars <= 0)
        return {};
    int width = painter->charWidth, height = painter->charHeight;
    int left = x - ((width * chars) >> 1);
    int top = y - (height >> 1);
    int marginX = width + 2, marginY = (height >> 1) + 2;
    return {left - marginX, top - marginY, left + width * chars + marginX, top + height + marginY};
}

} // namespace

bool PixelBox::intersects(const PixelBox& other) const {
    return !empty() && !other.empty() && left < other.right && other.left < right &&
           top < other.bottom && other.top < bottom;
}

bool PixelBox::contains(const PixelBox& other) const {
    return other.empty() || (left <= other.left && top <= other.top && other.right <= right &&
                             other.bottom <= bottom);
}

void PixelBox::add(const PixelBox& other) {
    if (other.empty())
        return;
    if (empty()) {
        *this = other;
        return;
    }
    left = std::min(left, other.left);
    top = std::min(top, other.top);
    right = std::max(right, other.right);
    bottom = std::max(bottom, other.bottom);
}

void FrameChange::add(const PixelBox& box) {
    if (box.empty())
        return;
    if (count < CAPACITY) {
        boxes[count++] = box;
        return;
    }
    boxes[CAPACITY - 1].add(box);
}

int hoveredNodeOf(const World& world) {
    NodeRef hovered = world.interaction.hoveredNode;
    return hovered.isNode() && hovered.layout == world.layouts.active ? hovered.index : -1;
}

Notice noticeOf(const World& world) {
    if (!world.powerOn)
        return Notice::Stopped;
    return world.solenoidActive ? Notice::SolenoidActive : Notice::None;
}

void drawNotice(Surface& surface, TextPainter* painter, Notice notice, int height) {
    if (painter == nullptr || notice == Notice::None)
        return;
    bool stopped = notice == Notice::Stopped;
    painter->textColour = stopped ? RED : STUCK_ORANGE;
    painter->drawText(surface, NOTICE_LEFT, height - painter->charHeight - NOTICE_BOTTOM_GAP,
                      stopped ? "STOPPED" : "SOLENOID ACTIVE", 0);
}

TrainLook lookOf(const Train& train, bool hovered, const TextPainter* painter) {
    TrainLook look;
    look.inUse = train.inUse;
    if (!train.inUse)
        return look;
    look.number = train.number;
    look.x = train.displayX;
    look.y = train.displayY;
    look.hovered = hovered ? 1 : 0;
    look.light = train.light;
    look.crashed = train.crashed;
    if (train.light)
        look.facing = train.facing;
    if (hovered) {
        look.speed = static_cast<std::int32_t>(train.speed);
        look.distance = train.distance;
    }
    const int x = train.displayX, y = train.displayY;
    // The frame, with the headlight inside it.
    look.bounds = {x - 11, y - 7, x + 11, y + 7};
    const TrainText texts = trainTextOf(train, hovered);
    for (int i = 0; i < texts.count; ++i) {
        const TrainText::Line& line = texts.lines[i];
        look.bounds.add(textBox(x, line.y, static_cast<int>(std::strlen(line.text)), painter));
    }
    return look;
}

void FrameTracker::forget(int width, int height) {
    known_ = false;
    width_ = width;
    height_ = height;
}

bool FrameTracker::stillChanged(const World& world) const {
    const Layouts& layouts = world.layouts;
    if (!known_ || layouts.active != active_)
        return true;
    const Track& track = activeTrack(layouts);
    return track.revision != revision_ || track.nodeCount() != nodeCount_ ||
           hoveredNodeOf(world) != hoveredNode_;
}

PixelBox FrameTracker::noticeBox(Notice notice, const TextPainter* painter) const {
    if (notice == Notice::None || painter == nullptr)
        return {};
    int width = painter->charWidth, height = painter->charHeight;
    int top = height_ - height - NOTICE_BOTTOM_GAP;
    return {NOTICE_LEFT - width - 2, top - (height >> 1) - 2,
            NOTICE_LEFT + width * (NOTICE_MOST_CHARS + 1) + 2, top + height + (height >> 1) + 2};
}

FrameChange FrameTracker::changes(const World& world, const TextPainter* painter) const {
    FrameChange change;
    if (stillChanged(world)) {
        change.still = true;
        change.add({0, 0, width_, height_});
        return change;
    }
    const TrainTable& table = world.trains;
    int count = std::clamp(table.count, 0, MAX_TRAINS);
    int most = std::max(count, trainCount_);
    TrainLook now[MAX_TRAINS];
    for (int i = 0; i < most; ++i) {
        now[i] = i < count ? lookOf(table.trains[i], i == world.interaction.hoveredTrain, painter)
                           : TrainLook{};
        const TrainLook& before = i < trainCount_ ? trains_[i] : TrainLook{};
        if (now[i] == before)
            continue;
        change.add(before.bounds);
        change.add(now[i].bounds);
    }
    Notice notice = noticeOf(world);
    PixelBox noticeNow = noticeBox(notice, painter);
    if (notice != notice_) {
        change.add(noticeBox(notice_, painter));
        change.add(noticeNow);
    }
    settle(change, now, count, noticeNow);
    return change;
}

void FrameTracker::settle(FrameChange& change, const TrainLook* looks, int count,
                          const PixelBox& notice) const {
    // Whatever is drawn into a box is drawn whole, so the box grows to cover
    // it; boxes that come to overlap become one.
    auto cover = [](PixelBox& box, const PixelBox& drawn) {
        if (!drawn.intersects(box) || box.contains(drawn))
            return false;
        box.add(drawn);
        return true;
    };
    for (bool grew = true; grew;) {
        grew = false;
        for (int b = 0; b < change.count; ++b) {
            PixelBox& box = change.boxes[b];
            for (int i = 0; i < count; ++i)
                grew |= cover(box, looks[i].bounds);
            grew |= cover(box, notice);
            for (int other = change.count - 1; other > b; --other) {
                if (!box.intersects(change.boxes[other]))
                    continue;
                box.add(change.boxes[other]);
                change.boxes[other] = change.boxes[--change.count];
                grew = true;
            }
        }
    }
    int kept = 0;
    for (int b = 0; b < change.count; ++b) {
        const PixelBox& box = change.boxes[b];
        PixelBox clipped{std::max(box.left, 0), std::max(box.top, 0), std::min(box.right, width_),
                         std::min(box.bottom, height_)};
        if (!clipped.empty())
            change.boxes[kept++] = clipped;
    }
    change.count = kept;
}

void FrameTracker::remember(const World& world, const TextPainter* painter) {
    const Layouts& layouts = world.layouts;
    known_ = true;
    active_ = layouts.active;
    revision_ = activeTrack(layouts).revision;
    nodeCount_ = activeTrack(layouts).nodeCount();
    hoveredNode_ = hoveredNodeOf(world);
    trainCount_ = std::clamp(world.trains.count, 0, MAX_TRAINS);
    for (int i = 0; i < trainCount_; ++i)
        trains_[i] = lookOf(world.trains.trains[i], i == world.interaction.hoveredTrain, painter);
    notice_ = noticeOf(world);
}

void FrameTracker::drawOverStill(Surface& surface, TextPainter* painter, const World& world,
                                 const PixelBox& area) const {
    const TrainTable& table = world.trains;
    int count = std::clamp(table.count, 0, MAX_TRAINS);
    for (int i = 0; i < count; ++i) {
        const Train& train = table.trains[i];
        bool hovered = i == world.interaction.hoveredTrain;
        if (train.inUse && lookOf(train, hovered, painter).bounds.intersects(area))
            drawTrain(surface, painter, train, hovered);
    }
    Notice notice = noticeOf(world);
    if (!noticeBox(notice, painter).intersects(area))
        return;
    drawNotice(surface, painter, notice, height_);
}

} // namespace quillon
