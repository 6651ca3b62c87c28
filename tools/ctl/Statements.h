// The statements of quillon-ctl serve, one a line, and how they are read.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quillon::ctl {

enum class StatementKind : std::uint8_t {
    Empty, // a blank line or a comment
    Bytes, // send the bytes as they are: speed, reverse, switch, off, go, stop, send
    Report,
    Watch,
    Wait,
    Quit,
};

constexpr int MAX_STATEMENT_BYTES = 64;
constexpr std::size_t STATEMENT_ERROR_CAPACITY = 128;

struct Statement {
    StatementKind kind = StatementKind::Empty;
    std::uint8_t bytes[MAX_STATEMENT_BYTES] = {};
    int length = 0;
    bool raw = false;     // Bytes given by send, shown with their answers
    int periodMs = 250;   // Watch: how often the sensors are asked for
    long durationMs = -1; // Watch: how long, -1 until stopped; Wait: how long
};

// Reads one line (without its line feed). False, with one line saying what
// is wrong in error, when the line is no statement.
bool parseStatement(const char* line, Statement& statement,
                    char (&error)[STATEMENT_ERROR_CAPACITY]);

// A time as the statements write it: a number of seconds ("2", "1.5",
// "1.5s") or of milliseconds ("250ms"); false when text is none or negative.
bool parseDuration(const char* text, long& milliseconds);

} // namespace quillon::ctl
