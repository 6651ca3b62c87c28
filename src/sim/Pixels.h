// Conversion of computed positions to whole pixels.
#pragma once

#include <cstdint>
#include <limits>

namespace quillon {

// Truncates toward zero. Values outside the 32-bit range, and a NaN, are held
// at the range's ends instead of being converted, which would be undefined.
inline std::int32_t truncateToPixel(double value) {
    constexpr double LOW = std::numeric_limits<std::int32_t>::min();
    constexpr double HIGH = std::numeric_limits<std::int32_t>::max();
    if (!(value >= LOW))
        return std::numeric_limits<std::int32_t>::min();
    if (value > HIGH)
        return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(value);
}

} // namespace quillon
