#include "view/TextPainter.h"

#include <cstring>

namespace quillon {

TextPainter::TextPainter(Host& host, FontPurpose purpose) : purpose(purpose), host_(host) {
    createFont();
}

TextPainter::~TextPainter() {
    releaseFont();
}

bool TextPainter::createFont() {
    if (created)
        return true;
    FontHandle made = host_.createFont(purpose);
    if (made == 0)
        return false;
    FontMetrics metrics{};
    if (!host_.measureFont(made, metrics)) {
        host_.deleteFont(made);
        return false;
    }
    font = made;
    charWidth = metrics.averageCharWidth;
    charHeight = metrics.cellHeight;
    created = true;
    return true;
}

void TextPainter::releaseFont() {
    if (!created)
        return;
    if (font != 0) {
        host_.deleteFont(font);
        font = 0;
    }
    created = false;
}

void TextPainter::drawText(Surface& surface, int x, int y, const char* text, std::int32_t length) {
    // Never read past the text's end, whatever length says.
    std::size_t available = std::strlen(text);
    std::size_t count = length == 0 ? available : static_cast<std::size_t>(length);
    if (length < 0)
        count = 0;
    if (count > available)
        count = available;
    surface.drawText(x, y, text, static_cast<int>(count),
                     TextStyle{font, textColour, filled, backgroundColour});
}

} // namespace quillon
