// The drawing primitives of the display, over a Surface. Coordinates and
// sizes are pixels.
#pragma once

#include "host/Host.h"

namespace quillon {

class TextPainter;

// A solid rectangle of w x h centred on (x, y): from (x - (w >> 1), y - (h >> 1))
// to (x + (w >> 1), y + (h >> 1)), right and bottom edges excluded.
void fillCentredRect(Surface& surface, int x, int y, int w, int h, Colour colour);

// The circle of radius r centred on (x, y), filled with colour and outlined
// in black.
void fillDisc(Surface& surface, int x, int y, int r, Colour colour);

// A 1-pixel line from (x1, y1) to (x2, y2), the end point excluded.
void drawLine(Surface& surface, int x1, int y1, int x2, int y2, Colour colour);

// Text centred on (x, y) by the painter's measured character cell, in the
// colour, on no background. Sets the painter's colours. Draws nothing
// without a painter.
void drawCentredText(Surface& surface, TextPainter* painter, int x, int y, const char* text,
                     Colour colour);
// The same on a background that fills the text's character cells.
void drawCentredText(Surface& surface, TextPainter* painter, int x, int y, const char* text,
                     Colour colour, Colour background);

} // namespace quillon
