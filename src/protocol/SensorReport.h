// The sensor report: a latch of 80 bits, one per sensor number, sent to the
// controlling program as 10 bytes and cleared after each send.
#pragma once

#include <cstdint>

namespace quillon {

struct SensorReport {
    // Sensor n is in byte n / 8 under the mask 0x80 >> (n % 8).
    std::uint8_t bytes[10];

    // ORs in the bit of sensor number n; a number outside 0..79 changes
    // nothing.
    void setSensorBit(int n);
    // Whether sensor number n is set; false for a number outside 0..79.
    bool isSensorSet(int n) const;
    void clear();
};
static_assert(sizeof(SensorReport) == 10);

} // namespace quillon
