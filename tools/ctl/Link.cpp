// What every system's link shares: the report request and its reading.
#include "ctl/Link.h"

#include "protocol/CommandFraming.h"
#include "protocol/SensorReport.h"

#include <cstring>

namespace quillon::ctl {

int Link::report(std::uint8_t (&answer)[REPORT_BYTES], int timeoutMs) {
    const std::uint8_t request = CMD_REPORT;
    if (!drain() || !send(&request, 1))
        return -1;
    return receive(answer, REPORT_BYTES, timeoutMs);
}

int sensorsIn(const std::uint8_t (&answer)[REPORT_BYTES], int (&numbers)[SENSOR_NUMBERS]) {
    SensorReport report;
    std::memcpy(report.bytes, answer, sizeof report.bytes);
    int count = 0;
    for (int n = 0; n < SENSOR_NUMBERS; ++n) {
        if (report.isSensorSet(n))
            numbers[count++] = n;
    }
    return count;
}

} // namespace quillon::ctl
