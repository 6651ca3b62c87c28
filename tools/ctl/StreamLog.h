// Both directions of a controller link in words, one line per complete
// command and per complete answer, each with its time:
//   12.345 > 08 0c  speed train 12 step 8
//   12.350 < 00 00 00 00 00 08 00 00 00 00  report C13
// or, with json, one object a line with the same facts.
#pragma once

#include "protocol/CommandFraming.h"
#include "sim/Events.h"

#include <cstdint>
#include <cstdio>

namespace quillon::ctl {

class StreamLog {
public:
    // Requests that wait for their answers at most; a controller that asks
    // for more without hearing the answers has lost some of them.
    static constexpr int MAX_AWAITED = 256;
    // An answer that has not begun this long after its request, while a
    // later request waits too, is taken as never coming: the simulator
    // drops answers it cannot write.
    static constexpr double ANSWER_WAIT_S = 1.0;

    StreamLog(std::FILE* out, bool json, CommandSet set = CommandSet::Basic)
        : out_(out), json_(json), set_(set) {}

    // Bytes on their way to the simulator, seconds since the log began.
    void fromController(const std::uint8_t* bytes, int count, double seconds);
    // Bytes on their way to the controller. Each answer belongs to the
    // oldest request still waiting for one; requests given up on (over
    // MAX_AWAITED waiting, or waiting past ANSWER_WAIT_S when a new answer
    // begins) are logged as unanswered, and bytes that no request waits for
    // as unexpected.
    void fromSimulator(const std::uint8_t* bytes, int count, double seconds);
    // Forgets half-seen commands and answers, as when the link starts anew.
    void reset();
    // Requests waiting for their answers.
    int awaiting() const { return awaitedCount_; }

private:
    struct Awaited {
        std::uint8_t first;
        int length;
        double seconds; // when the request was sent
    };
    void line(char direction, const std::uint8_t* bytes, int count, double seconds,
              const char* text);
    // Logs the oldest waiting request as unanswered and forgets it.
    void giveUpOldest(double seconds);

    std::FILE* out_;
    bool json_;
    CommandSet set_;
    std::uint8_t command_[2] = {};
    int commandLength_ = 0;
    Awaited awaited_[MAX_AWAITED] = {}; // a ring: the oldest at awaitedFirst_
    int awaitedFirst_ = 0;
    int awaitedCount_ = 0;
    std::uint8_t answer_[MAX_REPORT_BYTES] = {};
    int answerLength_ = 0;
};

} // namespace quillon::ctl
