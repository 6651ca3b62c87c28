#include "protocol/CommandDecoder.h"

#include "sim/Sensors.h"
#include "sim/World.h"

#include <cstring>

namespace quillon {
namespace {

constexpr std::uint8_t CMD_SOLENOID_OFF = 32;
constexpr std::uint8_t CMD_GO = 96;
constexpr std::uint8_t CMD_STOP = 97;
constexpr std::uint8_t CMD_REPORT = 133;

} // namespace

bool decodeCommands(World& world, const std::uint8_t* bytes, int count) {
    if (count < 1 || bytes == nullptr)
        return false;
    CommandDecoder& decoder = world.decoder;
    // Between bytes a command has 0 or 1 bytes pending; anything else is not
    // a command under way.
    if (decoder.pendingCount < 0 || decoder.pendingCount > 1)
        decoder.pendingCount = 0;
    bool completed = false;
    for (int i = 0; i < count; ++i) {
        decoder.pending[decoder.pendingCount++] = bytes[i];
        std::uint8_t first = decoder.pending[0];
        if (first == CMD_REPORT) {
            for (int n = 0; n < SENSOR_NUMBERS; ++n) {
                if (isSensorTriggered(world, n))
                    decoder.report.setSensorBit(n);
            }
            sendReport(world);
            decoder.pendingCount = 0;
            continue;
        }
        if (first == CMD_GO || first == CMD_STOP) {
            decoder.pendingCount = 0;
            continue;
        }
        if (first == CMD_SOLENOID_OFF) {
            decoder.solenoidActive = false;
            decoder.pendingCount = 0;
            continue;
        }
        if (decoder.pendingCount == 1)
            continue;
        std::uint8_t argument = decoder.pending[1];
        if (first == CMD_BYTE_STRAIGHT || first == CMD_BYTE_CURVED) {
            setSwitch(world, argument, first);
            decoder.solenoidActive = true;
        } else if (first <= SPEED_REVERSE) {
            setTrainSpeed(world, static_cast<std::int32_t>(argument), first, true);
        }
        decoder.pendingCount = 0;
        completed = true;
    }
    return completed;
}

void sendReport(World& world) {
    Event sent{EventKind::ReportSent, 0, 0, NO_NODE, {}};
    std::memcpy(sent.report, world.decoder.report.bytes, sizeof sent.report);
    world.events.record(sent);
    world.decoder.report.clear();
}

} // namespace quillon
