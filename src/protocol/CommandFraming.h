// How the controller's byte stream divides into commands, and what each
// command asks for. The decoder, the command describer and the tools that
// watch a stream share this one classification, so they never disagree on
// where a command ends.
#pragma once

#include <cstdint>

namespace quillon {

enum class CommandSet : std::uint8_t { Basic, Full };

constexpr std::uint8_t CMD_SOLENOID_OFF = 32;
constexpr std::uint8_t CMD_SWITCH_STRAIGHT = 33;
constexpr std::uint8_t CMD_SWITCH_CURVED = 34;
constexpr std::uint8_t CMD_GO = 96;
constexpr std::uint8_t CMD_STOP = 97;
constexpr std::uint8_t CMD_REPORT = 133;
constexpr std::uint8_t CMD_MODULES = 128;  // + n: sensor modules 1..n (full set)
constexpr std::uint8_t CMD_MODULE = 192;   // + n: sensor module n (full set)
constexpr std::uint8_t CMD_REVERSE = 15;   // the speed byte that reverses
constexpr std::uint8_t CMD_LIGHT_BIT = 16; // full set: speed and reverse with the light on
constexpr int SENSORS_PER_MODULE = 16;
constexpr int SENSOR_MODULES = 5; // the modules of the 10-byte report
constexpr int REPORT_BYTES = 2 * SENSOR_MODULES;
constexpr int MAX_MODULES = 31; // the modules a request can reach
constexpr int MAX_CONTACTS = MAX_MODULES * SENSORS_PER_MODULE;

enum class CommandAction : std::uint8_t {
    Report,      // one byte: modules 1..5
    Modules,     // one byte: modules 1..modules
    Module,      // one byte: module `modules` alone
    Accepted,    // one byte, nothing done
    SolenoidOff, // one byte
    PowerOn,     // one byte
    PowerOff,    // one byte
    Switch,      // two bytes: the switch number follows
    Speed,       // two bytes: the train number follows
    Function,    // two bytes: a function command, accepted without effect
    Nothing,     // two bytes, nothing done
};

struct CommandShape {
    CommandAction action;
    std::uint8_t length;  // 1 or 2 bytes, the first included
    std::uint8_t modules; // Modules: how many from 1; Module: which one
};

// What the command that starts with byte first is, in the given set.
CommandShape commandShape(std::uint8_t first, CommandSet set);

// How many bytes the simulator answers to a complete command: 10 for a
// report, 2 per module asked for, otherwise 0.
int replyLength(const CommandShape& shape);

} // namespace quillon
