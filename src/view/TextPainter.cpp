#include "view/TextPainter.h"

#include <cstdlib>
#include <cstring>
#include <limits>

namespace quillon {

std::int32_t mulDiv(std::int32_t a, std::int32_t b, std::int32_t c) {
    if (c == 0)
        return -1;
    std::int64_t product = std::int64_t{a} * b;
    std::int64_t magnitude =
        (std::llabs(product) + std::llabs(std::int64_t{c}) / 2) / std::llabs(std::int64_t{c});
    bool negative = (product < 0) != (c < 0);
    std::int64_t result = negative ? -magnitude : magnitude;
    if (result > std::numeric_limits<std::int32_t>::max() ||
        result < std::numeric_limits<std::int32_t>::min())
        return -1;
    return static_cast<std::int32_t>(result);
}

TextPainter::TextPainter(Host& host, const char* face, std::int32_t pointSize)
    : pointSize(pointSize), host_(host) {
    createFont(face);
}

TextPainter::~TextPainter() {
    releaseFont();
}

bool TextPainter::createFont(const char* face) {
    if (created)
        return true;
    // The character height of the point size at the screen's resolution.
    FontRequest request{face, mulDiv(pointSize, host_.screenDpiY(), 72), true, false};
    FontHandle made = host_.createFont(request);
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
    surface.selectFont(font);
    surface.setTextColour(textColour);
    if (backgroundColour == NO_BACKGROUND)
        surface.setBackgroundTransparent();
    else
        surface.setBackgroundOpaque(backgroundColour);
    surface.textOut(x, y, text, static_cast<int>(count));
}

} // namespace quillon
