#include "ctl/Statements.h"

#include "app/Duration.h"
#include "app/StepTiming.h"
#include "protocol/CommandFraming.h"
#include "track/TrackLayout.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

namespace quillon::ctl {
namespace {

constexpr int MAX_WORDS = MAX_STATEMENT_BYTES + 2;

// The line cut into words at spaces and tabs; a # starts a comment.
struct Words {
    char text[MAX_LINE_LENGTH + 1];
    const char* words[MAX_WORDS];
    int count = 0;
    bool tooMany = false;
};

// The caller has checked that line fits and holds no NUL.
void split(std::string_view line, Words& words) {
    std::memcpy(words.text, line.data(), line.size());
    words.text[line.size()] = '\0';
    if (char* comment = std::strchr(words.text, '#'))
        *comment = '\0';
    for (char* word = std::strtok(words.text, " \t\r"); word != nullptr;
         word = std::strtok(nullptr, " \t\r")) {
        if (words.count == MAX_WORDS) {
            words.tooMany = true;
            return;
        }
        words.words[words.count++] = word;
    }
}

#if defined(__GNUC__)
__attribute__((format(printf, 2, 3)))
#endif
bool fail(char (&error)[STATEMENT_ERROR_CAPACITY], const char* format, ...);

bool fail(char (&error)[STATEMENT_ERROR_CAPACITY], const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vsnprintf(error, sizeof error, format, args);
    va_end(args);
    return false;
}

// A whole number from low to high, in decimal or with 0x in hexadecimal.
bool number(const char* text, long low, long high, long& value) {
    if (text[0] == '-' || text[0] == '+' || text[0] == '\0')
        return false;
    const bool hex = text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    char* end = nullptr;
    value = std::strtol(hex ? text + 2 : text, &end, hex ? 16 : 10);
    return *end == '\0' && end != (hex ? text + 2 : text) && value >= low && value <= high;
}

void setBytes(Statement& statement, std::initializer_list<long> bytes) {
    statement.kind = StatementKind::Bytes;
    statement.length = 0;
    for (long byte : bytes)
        statement.bytes[statement.length++] = static_cast<std::uint8_t>(byte);
}

bool wordCount(const Words& words, int low, int high, const char* usage,
               char (&error)[STATEMENT_ERROR_CAPACITY]) {
    if (words.count >= low && words.count <= high)
        return true;
    return fail(error, "usage: %s", usage);
}

bool parseTrainCommand(const Words& words, Statement& statement,
                       char (&error)[STATEMENT_ERROR_CAPACITY]) {
    const bool speed = std::strcmp(words.words[0], "speed") == 0;
    if (!wordCount(words, speed ? 3 : 2, speed ? 3 : 2,
                   speed ? "speed TRAIN STEP" : "reverse TRAIN", error))
        return false;
    long train = 0;
    if (!number(words.words[1], 0, 255, train))
        return fail(error, "bad train number '%s': trains are 0 to 255", words.words[1]);
    long step = CMD_REVERSE;
    if (speed && !number(words.words[2], 0, 14, step))
        return fail(error, "bad speed step '%s': steps are 0 to 14", words.words[2]);
    setBytes(statement, {step, train});
    return true;
}

bool parseSwitch(const Words& words, Statement& statement,
                 char (&error)[STATEMENT_ERROR_CAPACITY]) {
    if (!wordCount(words, 3, 3, "switch NUMBER straight|curved", error))
        return false;
    long n = 0;
    if (!number(words.words[1], 0, 255, n) || !isSwitchNumber(static_cast<int>(n)))
        return fail(error, "no switch '%s': switches are 1 to 18 and 153 to 156", words.words[1]);
    const char* way = words.words[2];
    if (std::strcmp(way, "straight") != 0 && std::strcmp(way, "curved") != 0)
        return fail(error, "a switch goes straight or curved, not '%s'", way);
    setBytes(statement, {way[0] == 's' ? CMD_SWITCH_STRAIGHT : CMD_SWITCH_CURVED, n});
    return true;
}

bool parseSend(const Words& words, Statement& statement, char (&error)[STATEMENT_ERROR_CAPACITY]) {
    if (words.count < 2 || words.tooMany || words.count - 1 > MAX_STATEMENT_BYTES)
        return fail(error, "usage: send BYTE ... (1 to %d bytes)", MAX_STATEMENT_BYTES);
    statement.kind = StatementKind::Bytes;
    statement.raw = true;
    statement.length = 0;
    for (int k = 1; k < words.count; ++k) {
        long byte = 0;
        if (!number(words.words[k], 0, 255, byte))
            return fail(error, "bad byte '%s': bytes are 0 to 255", words.words[k]);
        statement.bytes[statement.length++] = static_cast<std::uint8_t>(byte);
    }
    return true;
}

bool readTime(const char* word, Statement& statement, char (&error)[STATEMENT_ERROR_CAPACITY]) {
    std::int32_t ms = 0;
    if (!parseDuration(word, ms))
        return fail(error, "bad time '%s'", word);
    statement.durationMs = ms;
    return true;
}

bool parseWatch(const Words& words, Statement& statement, char (&error)[STATEMENT_ERROR_CAPACITY]) {
    statement.kind = StatementKind::Watch;
    int k = 1;
    if (k < words.count && std::strcmp(words.words[k], "for") != 0) {
        std::int32_t period = 0;
        // Asking faster than the simulator reads would only queue requests.
        if (!parseDuration(words.words[k], period) || period < STEP_PERIOD_MS || period > 60000)
            return fail(error, "bad period '%s': %dms to 60s", words.words[k], STEP_PERIOD_MS);
        statement.periodMs = static_cast<int>(period);
        ++k;
    }
    if (k == words.count)
        return true;
    if (std::strcmp(words.words[k], "for") != 0 || k + 2 != words.count)
        return fail(error, "usage: watch [PERIOD] [for TIME]");
    return readTime(words.words[k + 1], statement, error);
}

} // namespace

bool parseStatement(std::string_view line, Statement& statement,
                    char (&error)[STATEMENT_ERROR_CAPACITY]) {
    statement = Statement{};
    error[0] = '\0';
    if (line.size() > MAX_LINE_LENGTH)
        return fail(error, "line too long: at most %u characters",
                    static_cast<unsigned>(MAX_LINE_LENGTH));
    for (std::size_t k = 0; k < line.size(); ++k) {
        const auto c = static_cast<unsigned char>(line[k]);
        if ((c < 0x20 && c != '\t' && c != '\r') || c == 0x7F)
            return fail(error, "control character 0x%02x at column %u", c,
                        static_cast<unsigned>(k + 1));
    }
    Words words;
    split(line, words);
    if (words.count == 0)
        return true;
    const char* verb = words.words[0];
    if (std::strcmp(verb, "speed") == 0 || std::strcmp(verb, "reverse") == 0)
        return parseTrainCommand(words, statement, error);
    if (std::strcmp(verb, "switch") == 0)
        return parseSwitch(words, statement, error);
    if (std::strcmp(verb, "send") == 0)
        return parseSend(words, statement, error);
    if (std::strcmp(verb, "watch") == 0)
        return parseWatch(words, statement, error);
    struct Single {
        const char* verb;
        std::uint8_t byte;
    };
    for (Single single :
         {Single{"off", CMD_SOLENOID_OFF}, Single{"go", CMD_GO}, Single{"stop", CMD_STOP}}) {
        if (std::strcmp(verb, single.verb) != 0)
            continue;
        if (!wordCount(words, 1, 1, single.verb, error))
            return false;
        setBytes(statement, {single.byte});
        return true;
    }
    if (std::strcmp(verb, "report") == 0 || std::strcmp(verb, "quit") == 0) {
        if (!wordCount(words, 1, 1, verb, error))
            return false;
        statement.kind = verb[0] == 'r' ? StatementKind::Report : StatementKind::Quit;
        return true;
    }
    if (std::strcmp(verb, "wait") == 0) {
        if (!wordCount(words, 2, 2, "wait TIME", error))
            return false;
        statement.kind = StatementKind::Wait;
        return readTime(words.words[1], statement, error);
    }
    return fail(error, "unknown statement '%.40s'", verb);
}

int answerLength(const Statement& statement, CommandSet set) {
    int length = 0;
    for (int k = 0; k < statement.length;) {
        const CommandShape shape = commandShape(statement.bytes[k], set);
        if (k + shape.length <= statement.length)
            length += replyLength(shape);
        k += shape.length;
    }
    return length;
}

LineRead readLine(std::FILE* in, char (&line)[MAX_LINE_LENGTH + 1], std::size_t& length) {
    length = 0;
    bool any = false;
    for (int c = std::getc(in); c != EOF; c = std::getc(in)) {
        any = true;
        if (c == '\n')
            break;
        if (length == MAX_LINE_LENGTH) {
            line[length] = '\0';
            return LineRead::TooLong;
        }
        line[length++] = static_cast<char>(c);
    }
    line[length] = '\0';
    return any ? LineRead::Line : LineRead::End;
}

} // namespace quillon::ctl
