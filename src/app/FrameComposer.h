// How the window's frames are made: a back buffer that keeps the last frame
// and, where the platform keeps one, a still image of the track, so that a
// frame recomposes only the boxes the frame tracker finds changed. Without a
// still image every frame is composed in full.
#pragma once

#include "host/Host.h"
#include "view/FrameTracker.h"

namespace quillon {

struct World;
class NamePlan;
class TextPainter;

class FrameComposer {
public:
    explicit FrameComposer(Host& host) : host_(host) {}
    ~FrameComposer() { release(); }
    FrameComposer(const FrameComposer&) = delete;
    FrameComposer& operator=(const FrameComposer&) = delete;

    // Makes the back buffer, cleared to black, and the still image width x
    // height, in place of any made before; the next frame is composed
    // afresh. False when the platform made no back buffer.
    bool create(int width, int height);
    // Gives the back buffer and still image back to the host.
    void release();
    // Asks the host to repaint what changed since the last frame: the
    // changed boxes, or everything without a still image.
    void invalidateChanges(const World& world, TextPainter* painter);
    // Composes the frame into the back buffer and presents it; nothing
    // without a back buffer.
    void paint(const World& world, TextPainter* painter, const NamePlan& names);

private:
    Host& host_;
    Surface* backBuffer_ = nullptr;
    Surface* stillImage_ = nullptr; // nullptr: every frame is composed in full
    FrameTracker tracker_;
    int width_ = 0;
    int height_ = 0;
};

} // namespace quillon
