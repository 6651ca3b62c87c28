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
constexpr std::uint8_t CMD_MODULES = 128; // + n: modules 1..n
constexpr std::uint8_t CMD_MODULE = 192;  // + n: module n
constexpr int LIGHT_BIT = 16;             // full set: speed and reverse with the light on
constexpr int SENSORS_PER_MODULE = 16;
constexpr int MODULES = SENSOR_NUMBERS / SENSORS_PER_MODULE; // modules with sensors

enum class Action {
    Report,      // the whole 10-byte report
    Modules,     // modules 1..n
    Module,      // module n
    Accepted,    // one byte, nothing done
    SolenoidOff, // one byte
    PowerOn,     // one byte
    PowerOff,    // one byte
    Switch,      // two bytes
    Speed,       // two bytes
    Nothing,     // two bytes, nothing done
};

struct Command {
    Action action;
    int modules; // for Modules and Module
};

Command basicCommand(std::uint8_t first) {
    if (first == CMD_REPORT)
        return {Action::Report, 0};
    if (first == CMD_GO || first == CMD_STOP)
        return {Action::Accepted, 0};
    if (first == CMD_SOLENOID_OFF)
        return {Action::SolenoidOff, 0};
    if (first == CMD_BYTE_STRAIGHT || first == CMD_BYTE_CURVED)
        return {Action::Switch, 0};
    if (first <= SPEED_REVERSE)
        return {Action::Speed, 0};
    return {Action::Nothing, 0};
}

Command fullCommand(std::uint8_t first) {
    if (first == CMD_REPORT)
        return {Action::Report, 0};
    if (first == CMD_MODULES || first == CMD_MODULE)
        return {Action::Accepted, 0};
    if (first > CMD_MODULES && first < CMD_MODULES + 32)
        return {Action::Modules, first - CMD_MODULES};
    if (first > CMD_MODULE && first < CMD_MODULE + 32)
        return {Action::Module, first - CMD_MODULE};
    if (first == CMD_GO)
        return {Action::PowerOn, 0};
    if (first == CMD_STOP)
        return {Action::PowerOff, 0};
    if (first < 2 * LIGHT_BIT)
        return {Action::Speed, 0};
    return basicCommand(first);
}

// ORs in what reads as triggered among the sensors of module (1-based),
// then appends its two bytes (zero past the modules that have sensors) and
// clears them in the latch.
void appendModule(World& world, int module, Event& sent) {
    SensorReport& report = world.decoder.report;
    std::uint8_t* out = sent.report + sent.reportLength;
    sent.reportLength += 2;
    if (module > MODULES) {
        out[0] = out[1] = 0;
        return;
    }
    int first = (module - 1) * SENSORS_PER_MODULE;
    for (int n = first; n < first + SENSORS_PER_MODULE; ++n)
        if (isSensorTriggered(world, n))
            report.setSensorBit(n);
    std::uint8_t* bytes = report.bytes + 2 * (module - 1);
    out[0] = bytes[0];
    out[1] = bytes[1];
    bytes[0] = bytes[1] = 0;
}

void sendModules(World& world, int from, int to) {
    Event sent = makeEvent(EventKind::ReportSent, 0);
    for (int module = from; module <= to; ++module)
        appendModule(world, module, sent);
    world.events.record(sent);
}

void setPower(World& world, bool on) {
    if (world.powerOn == on)
        return;
    world.powerOn = on;
    world.events.record(makeEvent(EventKind::PowerChanged, on ? 1 : 0, 0, NO_NODE));
}

// Carries out a complete two-byte command.
void carryOut(World& world, std::uint8_t first, std::uint8_t argument, Action action) {
    CommandDecoder& decoder = world.decoder;
    if (action == Action::Switch) {
        // Without track power the solenoids get nothing.
        if (!world.powerOn)
            return;
        setSwitch(world, argument, first);
        decoder.solenoidActive = true;
        return;
    }
    if (action != Action::Speed)
        return;
    std::int32_t train = argument;
    setTrainSpeed(world, train, first & (LIGHT_BIT - 1), true);
    if (decoder.commandSet == CommandSet::Full)
        setTrainLight(world, train, (first & LIGHT_BIT) != 0);
}

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
        Command command =
            decoder.commandSet == CommandSet::Full ? fullCommand(first) : basicCommand(first);
        switch (command.action) {
        case Action::Report:
            sendModules(world, 1, MODULES);
            break;
        case Action::Modules:
            sendModules(world, 1, command.modules);
            break;
        case Action::Module:
            sendModules(world, command.modules, command.modules);
            break;
        case Action::Accepted:
            break;
        case Action::SolenoidOff:
            decoder.solenoidActive = false;
            break;
        case Action::PowerOn:
            setPower(world, true);
            break;
        case Action::PowerOff:
            setPower(world, false);
            break;
        case Action::Switch:
        case Action::Speed:
        case Action::Nothing:
            if (decoder.pendingCount == 1)
                continue; // the argument is still to come
            carryOut(world, first, decoder.pending[1], command.action);
            completed = true;
            break;
        }
        decoder.pendingCount = 0;
    }
    return completed;
}

void sendReport(World& world) {
    Event sent = makeEvent(EventKind::ReportSent, 0);
    sent.reportLength = sizeof world.decoder.report.bytes;
    std::memcpy(sent.report, world.decoder.report.bytes, sizeof world.decoder.report.bytes);
    world.events.record(sent);
    world.decoder.report.clear();
}

} // namespace quillon
