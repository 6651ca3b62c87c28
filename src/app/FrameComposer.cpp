#include "app/FrameComposer.h"

#include "sim/World.h"
#include "view/LayoutPainter.h"
#include "view/NamePlan.h"
#include "view/Palette.h"

namespace quillon {

bool FrameComposer::create(int width, int height) {
    release();
    width_ = width;
    height_ = height;
    tracker_.forget(width, height);
    backBuffer_ = host_.createBackBuffer(width, height);
    if (backBuffer_ == nullptr)
        return false;
    backBuffer_->fillRect(0, 0, width, height, BLACK);
    stillImage_ = host_.createStillImage(width, height);
    return true;
}

void FrameComposer::release() {
    if (backBuffer_ != nullptr)
        host_.releaseBackBuffer();
    if (stillImage_ != nullptr)
        host_.releaseStillImage();
    backBuffer_ = nullptr;
    stillImage_ = nullptr;
}

void FrameComposer::invalidateChanges(const World& world, TextPainter* painter) {
    if (stillImage_ == nullptr) {
        host_.invalidate();
        return;
    }
    FrameChange change = tracker_.changes(world, painter);
    for (int i = 0; i < change.count; ++i) {
        const PixelBox& box = change.boxes[i];
        host_.invalidateRect(box.left, box.top, box.right, box.bottom);
    }
}

void FrameComposer::paint(const World& world, TextPainter* painter, const NamePlan& names) {
    if (backBuffer_ == nullptr)
        return;
    Surface& surface = *backBuffer_;
    if (stillImage_ == nullptr) {
        int clientWidth = 0, clientHeight = 0;
        host_.clientSize(clientWidth, clientHeight);
        surface.fillRect(0, 0, clientWidth, clientHeight, BLACK);
        drawLayout(surface, painter, world, &names);
        drawNotice(surface, painter, noticeOf(world), height_);
        host_.presentBackBuffer(width_, height_);
        return;
    }
    // The back buffer keeps the last frame; only what changed is composed.
    FrameChange change = tracker_.changes(world, painter);
    if (change.still) {
        stillImage_->fillRect(0, 0, width_, height_, BLACK);
        drawTrack(*stillImage_, painter, world, &names);
    }
    for (int i = 0; i < change.count; ++i) {
        const PixelBox& box = change.boxes[i];
        host_.copyStillImage(box.left, box.top, box.right, box.bottom);
        tracker_.drawOverStill(surface, painter, world, box);
    }
    tracker_.remember(world, painter);
    host_.presentBackBuffer(width_, height_);
}

} // namespace quillon
