// [x] solid rectangles  [x] discs with a black outline  [x] 1-pixel lines
// [x] text with a selected font  [x] compatible-bitmap back buffer
// [x] copies between buffers, clipped to both
//
// Drawing on a GDI device context, and the off-screen buffers: the back
// buffer that each frame is composed in before one BitBlt copies it to the
// window, and the still image of the track that changed boxes start from.
#pragma once

#include "host/Host.h"

#include <windows.h>

namespace quillon {

// A Colour as GDI's COLORREF.
constexpr COLORREF toColorRef(Colour colour) {
    return RGB(colour.red, colour.green, colour.blue);
}

// A Surface over a device context it does not own. Pens and brushes are
// made and deleted within each call; the device context keeps its default
// pen, so disc outlines are 1-pixel black.
class GdiSurface : public Surface {
public:
    explicit GdiSurface(HDC dc) : dc_(dc) {}

    void fillRect(int left, int top, int right, int bottom, Colour colour) override;
    void fillEllipse(int left, int top, int right, int bottom, Colour colour) override;
    void drawLine(int x1, int y1, int x2, int y2, Colour colour) override;
    // Selects the style's font (if any) into the device context, where it
    // stays, sets the text colour and background mode, and writes the text.
    void drawText(int x, int y, const char* text, int length, const TextStyle& style) override;

    HDC dc() const { return dc_; }

private:
    HDC dc_;
};

// A memory device context with a bitmap compatible with a window's device
// context. Owns both; releases them when released or destroyed.
class GdiBackBuffer {
public:
    GdiBackBuffer() = default;
    ~GdiBackBuffer() { release(); }
    GdiBackBuffer(const GdiBackBuffer&) = delete;
    GdiBackBuffer& operator=(const GdiBackBuffer&) = delete;

    // Replaces any buffer held before with one of width x height; false (and
    // nothing held) when the bitmap, the memory context or the selection
    // fails.
    bool create(HDC compatibleWith, int width, int height);
    void release();
    // Copies width x height pixels from the buffer's origin to target's.
    void present(HDC target, int width, int height) const;

    // Copies [left, right) x [top, bottom) of source to the same place in
    // this buffer, clipped to both.
    void copyFrom(const GdiBackBuffer& source, int left, int top, int right, int bottom);

    HDC dc() const { return dc_; }
    Surface& surface() { return surface_; }

private:
    int width_ = 0;
    int height_ = 0;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previousBitmap_ = nullptr;
    GdiSurface surface_{nullptr};
};

} // namespace quillon
