#include "protocol/SensorReport.h"

#include <cstring>

namespace quillon {

void SensorReport::setSensorBit(int n) {
    if (n < 0 || n >= 80)
        return;
    bytes[n / 8] |= static_cast<std::uint8_t>(0x80u >> (n % 8));
}

bool SensorReport::isSensorSet(int n) const {
    if (n < 0 || n >= 80)
        return false;
    return (bytes[n / 8] & (0x80u >> (n % 8))) != 0;
}

void SensorReport::clear() {
    std::memset(bytes, 0, sizeof bytes);
}

} // namespace quillon
