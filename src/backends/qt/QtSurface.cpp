// [x] rectangles  [x] discs  [x] lines  [x] text  [x] fonts by handle
#include "backends/qt/QtSurface.h"

#include <QFontMetrics>

namespace quillon {

QtSurface::QtSurface(int width, int height)
    : image_(width, height, QImage::Format_RGB32), outline_(QColor(Qt::black), 0),
      line_(QColor(Qt::black), 0) {
    image_.fill(Qt::black);
    painter_.begin(&image_);
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.setRenderHint(QPainter::TextAntialiasing, false);
    // A flat cap leaves a cosmetic line's end point undrawn.
    line_.setCapStyle(Qt::FlatCap);
    outline_.setCapStyle(Qt::FlatCap);
    text_.reserve(64);
    QFontMetrics metrics(painter_.font());
    ascent_ = metrics.ascent();
    cellHeight_ = metrics.height();
}

QtSurface::~QtSurface() {
    painter_.end();
}

void QtSurface::fillRect(int left, int top, int right, int bottom, Colour colour) {
    if (right <= left || bottom <= top)
        return;
    painter_.fillRect(left, top, right - left, bottom - top, QColor(toQRgb(colour)));
}

void QtSurface::fillEllipse(int left, int top, int right, int bottom, Colour colour) {
    if (right - left < 2 || bottom - top < 2)
        return;
    // With a 1-pixel pen Qt covers one pixel beyond the rectangle's width
    // and height: the disc then fills [left, right) x [top, bottom).
    painter_.setPen(outline_);
    painter_.setBrush(QColor(toQRgb(colour)));
    painter_.drawEllipse(left, top, right - left - 1, bottom - top - 1);
}

void QtSurface::drawLine(int x1, int y1, int x2, int y2, Colour colour) {
    line_.setColor(QColor(toQRgb(colour)));
    painter_.setPen(line_);
    painter_.drawLine(x1, y1, x2, y2);
}

void QtSurface::copyFrom(const QImage& source, const QRect& rect) {
    QRect copied = rect.intersected(source.rect()).intersected(image_.rect());
    if (copied.isEmpty())
        return;
    painter_.setCompositionMode(QPainter::CompositionMode_Source);
    painter_.drawImage(copied.topLeft(), source, copied);
    painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void QtSurface::selectFont(FontHandle font) {
    if (font == 0 || font == font_)
        return;
    font_ = font;
    painter_.setFont(*fontOf(font));
    QFontMetrics metrics(painter_.font(), &image_);
    ascent_ = metrics.ascent();
    cellHeight_ = metrics.height();
}

void QtSurface::forgetFont(FontHandle font) {
    if (font == font_)
        font_ = 0;
}

void QtSurface::drawText(int x, int y, const char* text, int length, const TextStyle& style) {
    selectFont(style.font);
    if (length <= 0)
        return;
    text_.resize(length);
    QChar* out = text_.data();
    for (int i = 0; i < length; ++i)
        out[i] = QLatin1Char(text[i]);
    if (style.filled) {
        int advance = QFontMetrics(painter_.font(), &image_).horizontalAdvance(text_);
        painter_.fillRect(x, y, advance, cellHeight_, QColor(toQRgb(style.background)));
    }
    painter_.setPen(QColor(toQRgb(style.colour)));
    // Qt places text by its baseline; (x, y) is the cell's top-left corner.
    painter_.drawText(x, y + ascent_, text_);
}

} // namespace quillon
