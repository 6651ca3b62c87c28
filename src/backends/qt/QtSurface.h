// [x] solid rectangles  [x] outlined discs  [x] 1-px lines without end point
// [x] text with transparent or opaque background  [x] fonts by handle
//
// The back buffer: a QImage with one QPainter that stays on it for the
// surface's whole life, so that drawing a frame allocates nothing beyond what
// the text engine needs.
#pragma once

#include "host/Host.h"

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QString>

namespace quillon {

// The QFont behind a FontHandle made by QtHost::createFont.
inline const QFont* fontOf(FontHandle handle) {
    return reinterpret_cast<const QFont*>(handle);
}

// A Colour as Qt's opaque 0xAARRGGBB.
constexpr QRgb toQRgb(Colour colour) {
    return 0xFF000000u | (QRgb{colour.red} << 16) | (QRgb{colour.green} << 8) | colour.blue;
}

class QtSurface : public Surface {
public:
    // An opaque image of width x height, black until drawn on.
    QtSurface(int width, int height);
    ~QtSurface() override;
    QtSurface(const QtSurface&) = delete;
    QtSurface& operator=(const QtSurface&) = delete;

    void fillRect(int left, int top, int right, int bottom, Colour colour) override;
    void fillEllipse(int left, int top, int right, int bottom, Colour colour) override;
    void drawLine(int x1, int y1, int x2, int y2, Colour colour) override;
    void drawText(int x, int y, const char* text, int length, const TextStyle& style) override;

    // Drops what the surface remembers of a font that is being deleted, so
    // that a new font made at the same address is selected afresh.
    void forgetFont(FontHandle font);

    // Copies the part of source inside rect to the same place in this
    // surface; what lies outside either image is left out.
    void copyFrom(const QImage& source, const QRect& rect);

    // The pixels drawn so far.
    const QImage& image() const { return image_; }

private:
    // Makes font the one text is drawn with; 0 keeps the current one.
    void selectFont(FontHandle font);

    QImage image_;
    QPainter painter_;
    QPen outline_;
    QPen line_;
    FontHandle font_ = 0;
    int ascent_ = 0;
    int cellHeight_ = 0;
    QString text_; // reused for every text
};

} // namespace quillon
