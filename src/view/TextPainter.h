// The one font of the display with its measured character cell and the two
// colours to draw with. Every text on the display goes through it.
#pragma once

#include "host/Host.h"

#include <cstdint>

namespace quillon {

class TextPainter {
public:
    // Stores the purpose and the initial colours (black text, no
    // background), then calls createFont().
    TextPainter(Host& host, FontPurpose purpose);
    // Same as releaseFont.
    ~TextPainter();
    TextPainter(const TextPainter&) = delete;
    TextPainter& operator=(const TextPainter&) = delete;

    // Makes and measures the host's font for the purpose; true when the
    // painter is created afterwards. A created painter keeps its font and
    // returns true at once. Without a font or its metrics the painter stays
    // not created with both metrics 0.
    bool createFont();

    // Deletes the font and marks the painter not created; the metrics and
    // colours stay. Does nothing on a painter that is not created.
    void releaseFont();

    // Draws length characters of text (0: up to its NUL; never past it) with
    // the top-left corner of the first character cell at (x, y), in the text
    // colour, on the background colour when filled. Without a font the
    // surface's last font is used.
    void drawText(Surface& surface, int x, int y, const char* text, std::int32_t length);

    // True exactly when font is a font that was made and measured.
    bool created = false;
    FontPurpose purpose;
    std::int32_t charWidth = 0;  // average character width, pixels
    std::int32_t charHeight = 0; // full cell height, pixels
    FontHandle font = 0;
    // Callers set the colours directly before they draw.
    Colour textColour;
    Colour backgroundColour;
    bool filled = false; // the background is drawn

private:
    Host& host_;
};

} // namespace quillon
