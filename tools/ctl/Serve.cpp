// quillon-ctl serve: statements from standard input, one a line, turned into
// the controller's bytes; reports printed by sensor name.
#include "ctl/Ctl.h"
#include "ctl/Link.h"
#include "ctl/Statements.h"
#include "ctl/StreamLog.h"
#include "protocol/CommandFraming.h"
#include "protocol/SensorNames.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <editline/readline.h>
#include <string>
#include <unistd.h>

namespace quillon::ctl {
namespace {

constexpr const char* USAGE =
    "usage: quillon-ctl serve [--socket PATH] [--json]\n"
    "Waits for Quillon, then drives it with statements from standard input:\n"
    "  speed TRAIN STEP | reverse TRAIN | switch NUMBER straight|curved\n"
    "  off | go | stop | send BYTE ... | report | watch [PERIOD] [for TIME]\n"
    "  wait TIME | quit\n";

constexpr int ANSWER_TIMEOUT_MS = 5000;

enum class Outcome { Next, Quit, Gone };

// Standard input, one line at a time: with line editing and history on a
// terminal, plain otherwise.
class LineReader {
public:
    explicit LineReader(bool interactive) : interactive_(interactive) {}
    bool next(std::string& line) {
        if (interactive_) {
            char* got = ::readline("quillon> ");
            if (got == nullptr)
                return false;
            line = got;
            std::free(got);
            if (!line.empty())
                ::add_history(line.c_str());
            return true;
        }
        char* got = nullptr;
        std::size_t capacity = 0;
        const ssize_t length = ::getline(&got, &capacity, stdin);
        if (length >= 0)
            line.assign(got, static_cast<std::size_t>(length));
        std::free(got);
        if (!line.empty() && line.back() == '\n')
            line.pop_back();
        return length >= 0;
    }

private:
    bool interactive_;
};

class Server {
public:
    Server(Link& link, bool json, bool interactive)
        : link_(link), json_(json), interactive_(interactive), log_(stdout, json) {}

    Outcome run(const Statement& statement) {
        switch (statement.kind) {
        case StatementKind::Empty:
            return Outcome::Next;
        case StatementKind::Quit:
            return Outcome::Quit;
        case StatementKind::Bytes:
            return sendBytes(statement);
        case StatementKind::Report:
            return report();
        case StatementKind::Watch:
            return watch(statement);
        case StatementKind::Wait: {
            bool input = false;
            const auto end = Clock::now() + std::chrono::milliseconds(statement.durationMs);
            return link_.waitUntil(end, false, input) ? Outcome::Next : Outcome::Gone;
        }
        }
        return Outcome::Next;
    }

private:
    // Raw bytes are echoed with what they mean, and so are the answers that
    // they ask for; the named statements send quietly.
    Outcome sendBytes(const Statement& statement) {
        if (!link_.drain() || !link_.send(statement.bytes, statement.length))
            return Outcome::Gone;
        if (!statement.raw)
            return Outcome::Next;
        log_.fromController(statement.bytes, statement.length, secondsSince(start_));
        int answerLength = 0;
        for (int k = 0; k < statement.length;) {
            const CommandShape shape = commandShape(statement.bytes[k], CommandSet::Basic);
            if (k + shape.length <= statement.length)
                answerLength += replyLength(shape);
            k += shape.length;
        }
        std::uint8_t answer[MAX_STATEMENT_BYTES * REPORT_BYTES];
        if (answerLength > 0 && !link_.receive(answer, answerLength, ANSWER_TIMEOUT_MS))
            return Outcome::Gone;
        log_.fromSimulator(answer, answerLength, secondsSince(start_));
        std::fflush(stdout);
        return Outcome::Next;
    }

    bool askReport(int (&numbers)[80], int& count) {
        std::uint8_t answer[10];
        if (!link_.report(answer, ANSWER_TIMEOUT_MS))
            return false;
        count = sensorsIn(answer, numbers);
        return true;
    }

    Outcome report() {
        int numbers[80];
        int count = 0;
        if (!askReport(numbers, count))
            return Outcome::Gone;
        if (json_)
            std::printf("{\"sensors\":[");
        for (int k = 0; k < count; ++k) {
            char name[SENSOR_NAME_CAPACITY];
            formatSensorName(numbers[k], name);
            if (json_)
                std::printf("%s{\"name\":\"%s\",\"number\":%d}", k == 0 ? "" : ",", name,
                            numbers[k]);
            else
                std::printf("%s%s (%d)", k == 0 ? "" : " ", name, numbers[k]);
        }
        std::printf(json_ ? "]}\n" : count == 0 ? "none\n" : "\n");
        std::fflush(stdout);
        return Outcome::Next;
    }

    // Polls like a controller until the time is up, Quillon leaves, or (at
    // a terminal) a line is entered.
    Outcome watch(const Statement& statement) {
        const Clock::time_point start = Clock::now();
        const auto period = std::chrono::milliseconds(statement.periodMs);
        for (Clock::time_point next = start;; next += period) {
            const double seconds = secondsSince(start);
            if (statement.durationMs >= 0 && seconds * 1000.0 >= statement.durationMs)
                return Outcome::Next;
            int numbers[80];
            int count = 0;
            if (!askReport(numbers, count))
                return Outcome::Gone;
            for (int k = 0; k < count; ++k) {
                char name[SENSOR_NAME_CAPACITY];
                formatSensorName(numbers[k], name);
                if (json_)
                    std::printf("{\"time\":%.2f,\"sensor\":\"%s\",\"number\":%d}\n", seconds, name,
                                numbers[k]);
                else
                    std::printf("%.2f %s\n", seconds, name);
            }
            std::fflush(stdout);
            Clock::time_point wake = next + period;
            if (statement.durationMs >= 0)
                wake = std::min(wake, start + std::chrono::milliseconds(statement.durationMs));
            bool input = false;
            if (!link_.waitUntil(wake, interactive_, input))
                return Outcome::Gone;
            if (input) {
                std::string ignored;
                LineReader(false).next(ignored);
                return Outcome::Next;
            }
        }
    }

    Link& link_;
    bool json_;
    bool interactive_;
    StreamLog log_;
    Clock::time_point start_ = Clock::now();
};

} // namespace

int serve(int argc, char** argv) {
    const char* socket = nullptr;
    bool json = false;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0) {
            std::fputs(USAGE, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--json") == 0) {
            json = true;
            continue;
        }
        if (std::strcmp(argv[i], "--socket") == 0 && i + 1 < argc) {
            socket = argv[++i];
            continue;
        }
        const std::string what = std::string("serve: unknown option '") + argv[i] + "'";
        return usageError(what.c_str(), USAGE);
    }
    const std::string path = socketPathOr(socket);
    const int fd = awaitSimulator(path.c_str());
    if (fd < 0)
        return 1;
    Link link(fd);
    const bool interactive = ::isatty(STDIN_FILENO) != 0;
    Server server(link, json, interactive);
    LineReader reader(interactive);
    std::string line;
    for (int number = 1; reader.next(line); ++number) {
        Statement statement;
        char error[STATEMENT_ERROR_CAPACITY];
        if (!parseStatement(line.c_str(), statement, error)) {
            std::fprintf(stderr, "line %d: %s\n", number, error);
            if (!interactive)
                return 2;
            continue;
        }
        const Outcome outcome = server.run(statement);
        if (outcome == Outcome::Quit)
            return 0;
        if (outcome == Outcome::Gone) {
            std::fprintf(stderr, "quillon-ctl: Quillon went away\n");
            return 1;
        }
    }
    return 0;
}

} // namespace quillon::ctl
