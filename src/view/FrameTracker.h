// The frame in parts: a still part (background, track, nodes, labels) that
// changes only with the layout, its switches, hover and stuck sensors, or
// the size; and over it the trains and the notice at the lower left. The
// tracker remembers what the last composed frame showed, so that the next
// frame recomposes only the part of the window that differs and still comes
// out pixel for pixel as a full recomposition would.
#pragma once

#include "host/Host.h"
#include "sim/Trains.h"
#include "track/Layouts.h"

#include <cstdint>

namespace quillon {

class TextPainter;
struct World;

// [left, right) x [top, bottom) in window pixels; empty without area.
struct PixelBox {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    bool empty() const { return right <= left || bottom <= top; }
    bool intersects(const PixelBox& other) const;
    bool contains(const PixelBox& other) const;
    // Grows to the smallest box that covers both; an empty box adds nothing.
    void add(const PixelBox& other);
    friend bool operator==(const PixelBox&, const PixelBox&) = default;
};

// The notice at the lower left. Track power off outranks the solenoid.
enum class Notice : std::uint8_t { None, SolenoidActive, Stopped };
Notice noticeOf(const World& world);
// Draws the notice in a window of that height; nothing for None or without
// a painter.
void drawNotice(Surface& surface, TextPainter* painter, Notice notice, int height);

// Everything a train's pixels depend on, and the box they stay within.
struct TrainLook {
    std::int32_t number = 0;
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t speed = 0;        // only while hovered; 0 otherwise
    std::int32_t distance = 0;     // only while hovered; 0 otherwise
    Facing facing = Facing::Right; // only while the light is on
    std::uint8_t inUse = 0;
    std::uint8_t hovered = 0;
    std::uint8_t light = 0;
    std::uint8_t crashed = 0;
    PixelBox bounds;
    friend bool operator==(const TrainLook&, const TrainLook&) = default;
};

// The look of a train drawn with painter (texts only with one).
TrainLook lookOf(const Train& train, bool hovered, const TextPainter* painter);

// The index of the hovered node of the active layout, or -1.
int hoveredNodeOf(const World& world);

// What differs between the last composed frame and the world now.
struct FrameChange {
    static constexpr int CAPACITY = 16;
    bool still = false; // the still part must be composed afresh
    // The parts of the window to compose afresh, each on its own: the still
    // part copied in, then every train and the notice that reach into it,
    // drawn whole. The boxes do not overlap, and each covers in full
    // whatever reaches into it, so drawing into one changes no pixel outside
    // it. Clipped to the window.
    PixelBox boxes[CAPACITY];
    int count = 0;

    bool empty() const { return count == 0; }
    // Takes the box in; beyond the capacity it joins the last one.
    void add(const PixelBox& box);
};

class FrameTracker {
public:
    // Forgets the composed frame: the next change is the whole window of
    // width x height, the still part included.
    void forget(int width, int height);
    // What a frame of world would change, drawn with painter.
    FrameChange changes(const World& world, const TextPainter* painter) const;
    // Records world as the frame now composed.
    void remember(const World& world, const TextPainter* painter);
    // Draws into the back buffer, over the still part already copied into
    // area (one box of a change), the trains and the notice that reach into
    // area, in frame order.
    void drawOverStill(Surface& surface, TextPainter* painter, const World& world,
                       const PixelBox& area) const;

private:
    bool stillChanged(const World& world) const;
    PixelBox noticeBox(Notice notice, const TextPainter* painter) const;
    // Grows and joins the boxes until none overlaps another and each covers
    // whatever of looks and notice reaches into it; then clips them.
    void settle(FrameChange& change, const TrainLook* looks, int count,
                const PixelBox& notice) const;

    bool known_ = false;
    int width_ = 0;
    int height_ = 0;
    std::int32_t active_ = 0;
    std::uint32_t revision_ = 0;
    int nodeCount_ = 0;
    int hoveredNode_ = -1;
    TrainLook trains_[MAX_TRAINS];
    int trainCount_ = 0;
    Notice notice_ = Notice::None;
};

} // namespace quillon
