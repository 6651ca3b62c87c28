#include "view/Primitives.h"

#include "view/TextPainter.h"

#include <cstring>

namespace quillon {

void fillCentredRect(Surface& surface, int x, int y, int w, int h, Colour colour) {
    int a = w >> 1;
    int b = h >> 1;
    surface.fillRect(x - a, y - b, x + a, y + b, colour);
}

void fillDisc(Surface& surface, int x, int y, int r, Colour colour) {
    surface.fillEllipse(x - r, y - r, x + r, y + r, colour);
}

void drawLine(Surface& surface, int x1, int y1, int x2, int y2, Colour colour) {
    surface.drawLine(x1, y1, x2, y2, colour);
}

namespace {

void drawCentred(Surface& surface, TextPainter* painter, int x, int y, const char* text,
                 Colour colour, bool filled, Colour background) {
    if (painter == nullptr)
        return;
    painter->textColour = colour;
    painter->filled = filled;
    painter->backgroundColour = background;
    int length = static_cast<int>(std::strlen(text));
    int left = x - ((painter->charWidth * length) >> 1);
    int top = y - (painter->charHeight >> 1);
    painter->drawText(surface, left, top, text, length);
}

} // namespace

void drawCentredText(Surface& surface, TextPainter* painter, int x, int y, const char* text,
                     Colour colour) {
    drawCentred(surface, painter, x, y, text, colour, false, Colour{});
}

void drawCentredText(Surface& surface, TextPainter* painter, int x, int y, const char* text,
                     Colour colour, Colour background) {
    drawCentred(surface, painter, x, y, text, colour, true, background);
}

} // namespace quillon
