#include "app/Duration.h"

namespace quillon {

bool parseDuration(std::string_view text, std::int32_t& ms) {
    std::int64_t scale = 1000;
    if (text.ends_with("ms")) {
        text.remove_suffix(2);
        scale = 1;
    } else if (text.ends_with('s')) {
        text.remove_suffix(1);
    }
    std::int64_t whole = 0, fraction = 0, fractionScale = 1;
    bool point = false, digits = false;
    for (char c : text) {
        if (c == '.' && !point) {
            point = true;
            continue;
        }
        if (c < '0' || c > '9')
            return false;
        digits = true;
        if (!point) {
            whole = whole * 10 + (c - '0');
            if (whole > LONGEST_DURATION_MS)
                return false;
            continue;
        }
        // More digits than any whole millisecond needs.
        if (fractionScale > 1000000)
            return false;
        fraction = fraction * 10 + (c - '0');
        fractionScale *= 10;
    }
    if (!digits)
        return false;
    const std::int64_t scaledFraction = fraction * scale;
    if (scaledFraction % fractionScale != 0)
        return false;
    const std::int64_t total = whole * scale + scaledFraction / fractionScale;
    if (total > LONGEST_DURATION_MS)
        return false;
    ms = static_cast<std::int32_t>(total);
    return true;
}

} // namespace quillon
