#include "protocol/CommandDecoder.h"

#include "sim/Sensors.h"
#include "sim/World.h"

#include <cstring>

namespace quillon {
namespace {

static_assert(CONTACT_COUNT == MAX_MODULES * SENSORS_PER_MODULE);

// ORs in what reads as triggered among the contacts of module (1-based),
// then appends its two bytes and clears them in the latch.
void appendModule(World& world, const ContactBits& triggered, int module, Event& sent) {
    std::uint8_t* out = sent.bytes + sent.length;
    sent.length += 2;
    std::uint8_t* bytes = world.latched.bytes + 2 * (module - 1);
    const std::uint8_t* now = triggered.bytes + 2 * (module - 1);
    out[0] = static_cast<std::uint8_t>(bytes[0] | now[0]);
    out[1] = static_cast<std::uint8_t>(bytes[1] | now[1]);
    bytes[0] = bytes[1] = 0;
}

void sendModules(World& world, int from, int to) {
    ContactBits triggered;
    triggered.clear();
    addTriggeredContacts(world, triggered);
    Event sent = makeEvent(EventKind::ReportSent, 0);
    for (int module = from; module <= to; ++module)
        appendModule(world, triggered, module, sent);
    world.events.record(sent);
}

void recordCommand(World& world, const std::uint8_t* bytes, int length) {
    Event decoded = makeEvent(EventKind::CommandDecoded, 0);
    std::memcpy(decoded.bytes, bytes, static_cast<std::size_t>(length));
    decoded.length = static_cast<std::uint8_t>(length);
    world.events.record(decoded);
}

void setPower(World& world, bool on) {
    if (world.powerOn == on)
        return;
    world.powerOn = on;
    world.events.record(makeEvent(EventKind::PowerChanged, on ? 1 : 0, 0, NO_NODE));
}

// Carries out a complete two-byte command.
void carryOut(const CommandDecoder& decoder, World& world, std::uint8_t first,
              std::uint8_t argument, CommandAction action) {
    if (action == CommandAction::Switch) {
        // Without track power the solenoids get nothing.
        if (!world.powerOn)
            return;
        setSwitch(world, argument,
                  first == CMD_SWITCH_STRAIGHT ? SWITCH_DIR_STRAIGHT : SWITCH_DIR_CURVED);
        world.solenoidActive = true;
        return;
    }
    if (action != CommandAction::Speed)
        return;
    std::int32_t train = argument;
    bool full = decoder.commandSet == CommandSet::Full;
    // A real locomotive that stands since it was placed turns round on a
    // reverse; the basic set keeps the simulator's own rule.
    setTrainSpeed(world, train, first & (CMD_LIGHT_BIT - 1), true,
                  full ? StandingReverse::TurnRound : StandingReverse::KeepWay);
    if (full)
        setTrainLight(world, train, (first & CMD_LIGHT_BIT) != 0);
}

} // namespace

bool decodeCommands(CommandDecoder& decoder, World& world, const std::uint8_t* bytes, int count) {
    if (count < 1 || bytes == nullptr)
        return false;
    // Between bytes a command has 0 or 1 bytes pending; anything else is not
    // a command under way.
    if (decoder.pendingCount < 0 || decoder.pendingCount > 1)
        decoder.pendingCount = 0;
    bool completed = false;
    for (int i = 0; i < count; ++i) {
        decoder.pending[decoder.pendingCount++] = bytes[i];
        std::uint8_t first = decoder.pending[0];
        CommandShape command = commandShape(first, decoder.commandSet);
        if (decoder.pendingCount < command.length)
            continue; // the argument is still to come
        recordCommand(world, decoder.pending, command.length);
        switch (command.action) {
        case CommandAction::Report:
        case CommandAction::Modules:
            sendModules(world, 1, command.modules);
            break;
        case CommandAction::Module:
            sendModules(world, command.modules, command.modules);
            break;
        case CommandAction::SolenoidOff:
            world.solenoidActive = false;
            break;
        case CommandAction::PowerOn:
            setPower(world, true);
            break;
        case CommandAction::PowerOff:
            setPower(world, false);
            break;
        case CommandAction::Accepted:
            break;
        case CommandAction::Switch:
        case CommandAction::Speed:
        case CommandAction::Function:
        case CommandAction::Nothing:
            carryOut(decoder, world, first, decoder.pending[1], command.action);
            completed = true;
            break;
        }
        decoder.pendingCount = 0;
    }
    return completed;
}

void sendReport(World& world) {
    Event sent = makeEvent(EventKind::ReportSent, 0);
    sent.length = REPORT_BYTES;
    std::memcpy(sent.bytes, world.latched.bytes, REPORT_BYTES);
    world.events.record(sent);
    std::memset(world.latched.bytes, 0, REPORT_BYTES);
}

} // namespace quillon
