// quillon-ctl serve: statements from standard input, one a line, turned into
// the controller's bytes; reports printed by sensor name.
#include "ctl/Ctl.h"
#include "ctl/LineReader.h"
#include "ctl/Link.h"
#include "ctl/Statements.h"
#include "ctl/StreamLog.h"
#include "protocol/CommandFraming.h"
#include "track/ContactNames.h"
#include "track/TrackLayout.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace quillon::ctl {
namespace {

constexpr const char* USAGE =
    "usage: quillon-ctl serve [--socket PATH] [--json] [--commands basic|full]\n"
    "Waits for Quillon, then drives it with statements from standard input:\n"
    "  speed TRAIN STEP | reverse TRAIN | switch NUMBER straight|curved\n"
    "  off | go | stop | send BYTE ... | report | watch [PERIOD] [for TIME]\n"
    "  wait TIME | quit\n"
    "--commands (or QUILLON_COMMANDS; the option wins) frames what send sends as\n"
    "Quillon's command set does.\n";

constexpr int ANSWER_TIMEOUT_MS = 5000;

enum class Outcome { Next, Quit, Gone };

class Server {
public:
    Server(Link& link, bool json, bool interactive, CommandSet set)
        : link_(link), json_(json), interactive_(interactive), set_(set), log_(stdout, json, set) {}

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
    // they ask for; the named statements send quietly. An answer that does
    // not come whole is shown as far as it came and said to be short.
    Outcome sendBytes(const Statement& statement) {
        if (!link_.drain() || !link_.send(statement.bytes, statement.length))
            return Outcome::Gone;
        if (!statement.raw)
            return Outcome::Next;
        log_.fromController(statement.bytes, statement.length, secondsSince(start_));
        const int expected = answerLength(statement, set_);
        std::uint8_t answer[MAX_ANSWER_BYTES];
        const int got = expected > 0 ? link_.receive(answer, expected, ANSWER_TIMEOUT_MS) : 0;
        if (got < 0)
            return Outcome::Gone;
        log_.fromSimulator(answer, got, secondsSince(start_));
        std::fflush(stdout);
        if (got == expected)
            return Outcome::Next;
        // Whatever comes late is thrown away before the next statement.
        log_.reset();
        std::fprintf(stderr, "quillon-ctl: %s: %d of %d answer bytes came within %d ms\n",
                     got == 0 ? "no answer" : "short answer", got, expected, ANSWER_TIMEOUT_MS);
        return Outcome::Next;
    }

    // The sensors of a fresh report; Gone when Quillon left, Next with
    // count -1 (and the reason said) when the answer did not come whole.
    Outcome askReport(int (&numbers)[SENSOR_NUMBERS], int& count) {
        std::uint8_t answer[REPORT_BYTES];
        const int got = link_.report(answer, ANSWER_TIMEOUT_MS);
        if (got < 0)
            return Outcome::Gone;
        if (got < static_cast<int>(sizeof answer)) {
            std::fprintf(stderr, "quillon-ctl: %s: %d of %d report bytes came within %d ms\n",
                         got == 0 ? "no report" : "short report", got, REPORT_BYTES,
                         ANSWER_TIMEOUT_MS);
            count = -1;
            return Outcome::Next;
        }
        count = sensorsIn(answer, numbers);
        return Outcome::Next;
    }

    Outcome report() {
        int numbers[SENSOR_NUMBERS];
        int count = 0;
        if (askReport(numbers, count) == Outcome::Gone)
            return Outcome::Gone;
        if (count < 0)
            return Outcome::Next;
        if (json_)
            std::printf("{\"sensors\":[");
        for (int k = 0; k < count; ++k) {
            char name[CONTACT_NAME_CAPACITY];
            formatContactName(numbers[k], name);
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
            int numbers[SENSOR_NUMBERS];
            int count = 0;
            if (askReport(numbers, count) == Outcome::Gone)
                return Outcome::Gone;
            for (int k = 0; k < count; ++k) {
                char name[CONTACT_NAME_CAPACITY];
                formatContactName(numbers[k], name);
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
                std::string_view ignored;
                LineReader(false).next(ignored);
                return Outcome::Next;
            }
        }
    }

    Link& link_;
    bool json_;
    bool interactive_;
    CommandSet set_;
    StreamLog log_;
    Clock::time_point start_ = Clock::now();
};

} // namespace

int serve(int argc, char** argv) {
    const char* socket = nullptr;
    const char* commands = nullptr;
    bool json = false;
    for (int i = 0; i < argc; ++i) {
        const char* option = argv[i];
        if (std::strcmp(option, "--help") == 0) {
            std::fputs(USAGE, stdout);
            return 0;
        }
        if (std::strcmp(option, "--json") == 0) {
            json = true;
            continue;
        }
        const bool takesValue =
            std::strcmp(option, "--socket") == 0 || std::strcmp(option, "--commands") == 0;
        if (takesValue && i + 1 >= argc) {
            const std::string what = std::string("serve: ") + option + " needs a value";
            return usageError(what.c_str(), USAGE);
        }
        if (takesValue) {
            (option[2] == 's' ? socket : commands) = argv[++i];
            continue;
        }
        const std::string what = std::string("serve: unknown option '") + option + "'";
        return usageError(what.c_str(), USAGE);
    }
    std::string problem;
    CommandSet set = CommandSet::Basic;
    if (!commandSetOf(commands, set, problem) ||
        (socket != nullptr && !socketPathUsable(socket, problem)))
        return usageError(("serve: " + problem).c_str(), USAGE);
    const std::string path = socketPathOr(socket);
    const std::unique_ptr<Link> connected = awaitSimulator(path.c_str());
    if (connected == nullptr)
        return 1;
    Link& link = *connected;
    const bool interactive = inputIsTerminal();
    Server server(link, json, interactive, set);
    LineReader reader(interactive);
    std::string_view line;
    for (int number = 1;; ++number) {
        const LineRead read = reader.next(line);
        if (read == LineRead::End)
            return 0;
        Statement statement;
        char error[STATEMENT_ERROR_CAPACITY];
        if (read == LineRead::TooLong)
            std::snprintf(error, sizeof error, "line too long: at most %zu characters",
                          MAX_LINE_LENGTH);
        if (read == LineRead::TooLong || !parseStatement(line, statement, error)) {
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
}

} // namespace quillon::ctl
