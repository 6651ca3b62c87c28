// The statements of quillon-ctl serve, one a line, and how they are read.
#pragma once

#include "protocol/CommandFraming.h"
#include "sim/Events.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string_view>

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
// The most a statement's bytes can ask the simulator to answer: every byte
// a command that asks for the longest answer.
constexpr int MAX_ANSWER_BYTES = MAX_STATEMENT_BYTES * MAX_REPORT_BYTES;
// The longest line, without its line feed.
constexpr std::size_t MAX_LINE_LENGTH = 511;
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
// is wrong in error, when the line is no statement: longer than
// MAX_LINE_LENGTH, holding a NUL or another control character than a tab
// or a carriage return, or malformed. The error never echoes such a byte.
bool parseStatement(std::string_view line, Statement& statement,
                    char (&error)[STATEMENT_ERROR_CAPACITY]);

// How many bytes the simulator answers to the complete commands among the
// statement's bytes, framed in set; at most MAX_ANSWER_BYTES.
int answerLength(const Statement& statement, CommandSet set);

enum class LineRead { Line, TooLong, End };

// Reads the next line of in into line (without its line feed, NUL
// terminated), never holding more than MAX_LINE_LENGTH bytes of it. TooLong
// as soon as a line is longer, with the rest of it left unread, so that an
// endless line costs neither memory nor time; End at the end of the input
// (a last line without a line feed is a Line). length counts the bytes
// read, NULs included.
LineRead readLine(std::FILE* in, char (&line)[MAX_LINE_LENGTH + 1], std::size_t& length);

} // namespace quillon::ctl
