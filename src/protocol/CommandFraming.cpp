#include "protocol/CommandFraming.h"

namespace quillon {
namespace {

CommandShape oneByte(CommandAction action, int modules = 0) {
    return {action, 1, static_cast<std::uint8_t>(modules)};
}

CommandShape twoBytes(CommandAction action) {
    return {action, 2, 0};
}

CommandShape basicShape(std::uint8_t first) {
    if (first == CMD_REPORT)
        return oneByte(CommandAction::Report, SENSOR_MODULES);
    if (first == CMD_GO || first == CMD_STOP)
        return oneByte(CommandAction::Accepted);
    if (first == CMD_SOLENOID_OFF)
        return oneByte(CommandAction::SolenoidOff);
    if (first == CMD_SWITCH_STRAIGHT || first == CMD_SWITCH_CURVED)
        return twoBytes(CommandAction::Switch);
    if (first <= CMD_REVERSE)
        return twoBytes(CommandAction::Speed);
    return twoBytes(CommandAction::Nothing);
}

} // namespace

CommandShape commandShape(std::uint8_t first, CommandSet set) {
    if (set != CommandSet::Full)
        return basicShape(first);
    if (first == CMD_REPORT)
        return oneByte(CommandAction::Report, SENSOR_MODULES);
    if (first == CMD_MODULES || first == CMD_MODULE)
        return oneByte(CommandAction::Accepted);
    if (first > CMD_MODULES && first < CMD_MODULES + 32)
        return oneByte(CommandAction::Modules, first - CMD_MODULES);
    if (first > CMD_MODULE && first < CMD_MODULE + 32)
        return oneByte(CommandAction::Module, first - CMD_MODULE);
    if (first == CMD_GO)
        return oneByte(CommandAction::PowerOn);
    if (first == CMD_STOP)
        return oneByte(CommandAction::PowerOff);
    if (first < 2 * CMD_LIGHT_BIT)
        return twoBytes(CommandAction::Speed);
    if (first >= 64 && first < 80)
        return twoBytes(CommandAction::Function);
    return basicShape(first);
}

int replyLength(const CommandShape& shape) {
    switch (shape.action) {
    case CommandAction::Report:
        return REPORT_BYTES;
    case CommandAction::Modules:
        return 2 * shape.modules;
    case CommandAction::Module:
        return 2;
    default:
        return 0;
    }
}

} // namespace quillon
