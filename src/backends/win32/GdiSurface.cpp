// [x] solid rectangles  [x] discs with a black outline  [x] 1-pixel lines
// [x] text with a selected font  [x] compatible-bitmap back buffer
#include "backends/win32/GdiSurface.h"

#include <algorithm>

namespace quillon {

void GdiSurface::fillRect(int left, int top, int right, int bottom, Colour colour) {
    RECT rect{left, top, right, bottom};
    HBRUSH brush = CreateSolidBrush(toColorRef(colour));
    FillRect(dc_, &rect, brush);
    DeleteObject(brush);
}

void GdiSurface::fillEllipse(int left, int top, int right, int bottom, Colour colour) {
    HBRUSH brush = CreateSolidBrush(toColorRef(colour));
    HGDIOBJ previous = SelectObject(dc_, brush);
    Ellipse(dc_, left, top, right, bottom);
    SelectObject(dc_, previous);
    DeleteObject(brush);
}

void GdiSurface::drawLine(int x1, int y1, int x2, int y2, Colour colour) {
    HPEN pen = CreatePen(PS_SOLID, 1, toColorRef(colour));
    HGDIOBJ previous = SelectObject(dc_, pen);
    const POINT points[2] = {{x1, y1}, {x2, y2}};
    Polyline(dc_, points, 2);
    SelectObject(dc_, previous);
    DeleteObject(pen);
}

void GdiSurface::drawText(int x, int y, const char* text, int length, const TextStyle& style) {
    if (style.font != 0)
        SelectObject(dc_, reinterpret_cast<HFONT>(style.font));
    SetTextColor(dc_, toColorRef(style.colour));
    if (style.filled) {
        SetBkMode(dc_, OPAQUE);
        SetBkColor(dc_, toColorRef(style.background));
    } else {
        SetBkMode(dc_, TRANSPARENT);
    }
    TextOutA(dc_, x, y, text, length);
}

bool GdiBackBuffer::create(HDC compatibleWith, int width, int height) {
    release();
    bitmap_ = CreateCompatibleBitmap(compatibleWith, width, height);
    dc_ = CreateCompatibleDC(compatibleWith);
    previousBitmap_ = (bitmap_ != nullptr && dc_ != nullptr) ? SelectObject(dc_, bitmap_) : nullptr;
    if (previousBitmap_ == nullptr || previousBitmap_ == HGDI_ERROR) {
        previousBitmap_ = nullptr;
        release();
        return false;
    }
    surface_ = GdiSurface(dc_);
    width_ = width;
    height_ = height;
    return true;
}

void GdiBackBuffer::release() {
    if (dc_ != nullptr) {
        if (previousBitmap_ != nullptr)
            SelectObject(dc_, previousBitmap_);
        DeleteDC(dc_);
    }
    if (bitmap_ != nullptr)
        DeleteObject(bitmap_);
    dc_ = nullptr;
    bitmap_ = nullptr;
    previousBitmap_ = nullptr;
    surface_ = GdiSurface(nullptr);
    width_ = 0;
    height_ = 0;
}

void GdiBackBuffer::present(HDC target, int width, int height) const {
    if (dc_ == nullptr || target == nullptr)
        return;
    BitBlt(target, 0, 0, width, height, dc_, 0, 0, SRCCOPY);
}

void GdiBackBuffer::copyFrom(const GdiBackBuffer& source, int left, int top, int right,
                             int bottom) {
    if (dc_ == nullptr || source.dc_ == nullptr)
        return;
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min({right, width_, source.width_});
    bottom = std::min({bottom, height_, source.height_});
    if (right <= left || bottom <= top)
        return;
    BitBlt(dc_, left, top, right - left, bottom - top, source.dc_, left, top, SRCCOPY);
}

} // namespace quillon
