#include "link/CommandDecoder.h"

#include "link/ControllerLink.h"
#include "sim/Sensors.h"
#include "sim/Trains.h"
#include "track/TrackLayout.h"

namespace quillon {
namespace {

constexpr std::uint8_t CMD_SOLENOID_OFF = 32;
constexpr std::uint8_t CMD_GO = 96;
constexpr std::uint8_t CMD_STOP = 97;
constexpr std::uint8_t CMD_REPORT = 133;

} // namespace

bool CommandDecoder::decode(const std::uint8_t* bytes, int count, ControllerLink* link) {
    if (count < 1 || bytes == nullptr)
        return false;
    // Between bytes a command has 0 or 1 bytes pending; anything else is not
    // a command under way.
    if (pendingCount < 0 || pendingCount > 1)
        pendingCount = 0;
    bool completed = false;
    for (int i = 0; i < count; ++i) {
        pending[pendingCount++] = bytes[i];
        std::uint8_t first = pending[0];
        if (first == CMD_REPORT) {
            for (int n = 0; n < SENSOR_NUMBERS; ++n) {
                if (isSensorTriggered(n))
                    report.setSensorBit(n);
            }
            sendReport(link);
            pendingCount = 0;
            continue;
        }
        if (first == CMD_GO || first == CMD_STOP) {
            pendingCount = 0;
            continue;
        }
        if (first == CMD_SOLENOID_OFF) {
            solenoidActive = false;
            pendingCount = 0;
            continue;
        }
        if (pendingCount == 1)
            continue;
        std::uint8_t argument = pending[1];
        if (first == CMD_BYTE_STRAIGHT || first == CMD_BYTE_CURVED) {
            setSwitch(argument, first);
            solenoidActive = true;
        } else if (first <= SPEED_REVERSE) {
            setTrainSpeed(argument, first, true);
        }
        pendingCount = 0;
        completed = true;
    }
    return completed;
}

void CommandDecoder::sendReport(ControllerLink* link) {
    if (link != nullptr)
        link->write(report.bytes, sizeof report.bytes);
    report.clear();
}

} // namespace quillon
