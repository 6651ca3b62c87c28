// The one font of the display with its measured character cell and the two
// colours to draw with. Every text on the display goes through it.
#pragma once

#include "host/Host.h"

#include <cstdint>

namespace quillon {

class TextPainter {
public:
    // Stores the point size and the initial colours (black text, no
    // background), then calls createFont(face).
    TextPainter(Host& host, const char* face, std::int32_t pointSize);
    // Same as releaseFont.
    ~TextPainter();
    TextPainter(const TextPainter&) = delete;
    TextPainter& operator=(const TextPainter&) = delete;

    // Makes and measures a fixed-pitch, non-antialiased font of the face at
    // the point size; true when the painter is created afterwards. A created
    // painter keeps its font and returns true at once. Without a font or its
    // metrics the painter stays not created with both metrics 0.
    bool createFont(const char* face);

    // Deletes the font and marks the painter not created; the metrics and
    // colours stay. Does nothing on a painter that is not created.
    void releaseFont();

    // Draws length characters of text (0: up to its NUL; never past it) with
    // the top-left corner of the first character cell at (x, y), in the text
    // colour, on the background colour unless it is NO_BACKGROUND. Selects
    // the painter's font into the surface and leaves it selected; without a
    // font the surface's current font is used.
    void drawText(Surface& surface, int x, int y, const char* text, std::int32_t length);

    // True exactly when font is a font that was made and measured.
    bool created = false;
    std::int32_t pointSize;
    std::int32_t charWidth = 0;  // average character width, pixels
    std::int32_t charHeight = 0; // full cell height, pixels
    FontHandle font = 0;
    // Callers set the colours directly before they draw.
    Colour textColour = 0;
    Colour backgroundColour = NO_BACKGROUND;

private:
    Host& host_;
};

// a * b / c rounded to the nearest integer, halves away from zero, with a
// 64-bit intermediate; -1 when c is 0 or the result does not fit 32 bits.
std::int32_t mulDiv(std::int32_t a, std::int32_t b, std::int32_t c);

} // namespace quillon
