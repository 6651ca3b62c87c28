#include "ctl/Statements.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

namespace quillon::ctl {
namespace {

std::string repeated(const char* word, int times) {
    std::string text;
    for (int k = 0; k < times; ++k)
        text += word;
    return text;
}

// The statement a line holds; a test failure when it holds none.
Statement parsed(const std::string& line) {
    Statement statement;
    char error[STATEMENT_ERROR_CAPACITY];
    EXPECT_TRUE(parseStatement(line, statement, error)) << error;
    return statement;
}

struct Sent {
    const char* line;
    std::vector<int> bytes;
};

void PrintTo(const Sent& row, std::ostream* out) {
    *out << row.line;
}

class StatementBytesTest : public ::testing::TestWithParam<Sent> {};

TEST_P(StatementBytesTest, SendsTheControllersBytes) {
    const Statement statement = parsed(GetParam().line);
    EXPECT_EQ(std::vector<int>(statement.bytes, statement.bytes + statement.length),
              GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(Statements, StatementBytesTest,
                         ::testing::Values(Sent{"speed 12 8", {8, 12}},
                                           Sent{"reverse 255", {15, 255}},
                                           Sent{"switch 156 curved", {34, 156}},
                                           Sent{"switch 1 straight  # comment", {33, 1}},
                                           Sent{"off", {32}}, Sent{"go", {96}}, Sent{"stop", {97}},
                                           Sent{"send 0x85 0 255", {133, 0, 255}}));

struct Refused {
    std::string line;
    const char* error;
};

void PrintTo(const Refused& row, std::ostream* out) {
    *out << row.line;
}

class StatementErrorTest : public ::testing::TestWithParam<Refused> {};

TEST_P(StatementErrorTest, SaysWhatIsWrong) {
    Statement statement;
    char error[STATEMENT_ERROR_CAPACITY];
    EXPECT_FALSE(parseStatement(GetParam().line, statement, error));
    EXPECT_STREQ(error, GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(
    Statements, StatementErrorTest,
    ::testing::Values(
        Refused{"fly 12", "unknown statement 'fly'"},
        Refused{"speed 12", "usage: speed TRAIN STEP"},
        Refused{"speed 256 8", "bad train number '256': trains are 0 to 255"},
        Refused{"speed 12 15", "bad speed step '15': steps are 0 to 14"},
        Refused{"speed 12 -1", "bad speed step '-1': steps are 0 to 14"},
        Refused{"switch 19 curved", "no switch '19': switches are 1 to 18 and 153 to 156"},
        Refused{"switch 140 curved", "no switch '140': switches are 1 to 18 and 153 to 156"},
        Refused{"switch 1 left", "a switch goes straight or curved, not 'left'"},
        Refused{"send", "usage: send BYTE ... (1 to 64 bytes)"},
        Refused{"send 0x100", "bad byte '0x100': bytes are 0 to 255"},
        Refused{"watch 1ms", "bad period '1ms': 10ms to 60s"},
        Refused{"watch for", "usage: watch [PERIOD] [for TIME]"},
        Refused{"wait soon", "bad time 'soon'"}, Refused{"report now", "usage: report"},
        Refused{"send" + repeated(" 133", 65), "usage: send BYTE ... (1 to 64 bytes)"},
        Refused{std::string(512, ' '), "line too long: at most 511 characters"},
        Refused{std::string("go\0", 3), "control character 0x00 at column 3"},
        Refused{"speed\x1b[2J 12 8", "control character 0x1b at column 6"}));

struct Answered {
    std::string line;
    CommandSet set;
    int length;
};

void PrintTo(const Answered& row, std::ostream* out) {
    *out << row.line.substr(0, 40);
}

class AnswerLengthTest : public ::testing::TestWithParam<Answered> {};

TEST_P(AnswerLengthTest, FramesTheBytesByTheCommandSet) {
    EXPECT_EQ(answerLength(parsed(GetParam().line), GetParam().set), GetParam().length);
}

INSTANTIATE_TEST_SUITE_P(Statements, AnswerLengthTest,
                         ::testing::Values(Answered{"send 195", CommandSet::Full, 2},
                                           Answered{"send 195", CommandSet::Basic, 0},
                                           Answered{"send 133 8 12 133", CommandSet::Basic, 20},
                                           Answered{"send 133 133 8", CommandSet::Basic, 20},
                                           Answered{"send" + repeated(" 159", 64), CommandSet::Full,
                                                    MAX_ANSWER_BYTES}));

// Reads lines with readLine until the end or an overlong line; each line
// read, or "TOO LONG", and how far into text the reading went.
std::vector<std::string> linesOf(const std::string& text, long& readTo) {
    std::FILE* in = ::fmemopen(const_cast<char*>(text.data()), text.size(), "r");
    std::vector<std::string> lines;
    char line[MAX_LINE_LENGTH + 1];
    std::size_t length = 0;
    LineRead read = LineRead::Line;
    while (read == LineRead::Line && (read = readLine(in, line, length)) != LineRead::End)
        lines.push_back(read == LineRead::TooLong ? "TOO LONG" : std::string(line, length));
    readTo = std::ftell(in);
    std::fclose(in);
    return lines;
}

TEST(StatementLinesTest, ReadsLinesUpToAnOverlongOneAndNoFurther) {
    long readTo = 0;
    EXPECT_EQ(linesOf("go\n\nstop\n" + std::string(100000, '\0'), readTo),
              (std::vector<std::string>{"go", "", "stop", "TOO LONG"}));
    EXPECT_EQ(readTo, static_cast<long>(9 + MAX_LINE_LENGTH + 1));
}

TEST(StatementsTest, AWatchTakesItsPeriodAndTimeOrRunsUntilStopped) {
    for (auto [line, period, duration] :
         {std::tuple{"watch 100ms for 1.5s", 100, 1500L}, {"watch", 250, -1L}}) {
        EXPECT_EQ(parsed(line).periodMs, period) << line;
        EXPECT_EQ(parsed(line).durationMs, duration) << line;
    }
}

TEST(StatementsTest, ABlankLineOrACommentIsNoStatement) {
    EXPECT_EQ(parsed("  # nothing").kind, StatementKind::Empty);
}

} // namespace
} // namespace quillon::ctl
