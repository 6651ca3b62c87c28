// Both directions of a controller link in words, one line per complete
// command and per complete answer, each with its time:
//   12.345 > 08 0c  speed train 12 step 8
//   12.350 < 00 00 00 00 00 08 00 00 00 00  report C13
// or, with json, one object a line with the same facts.
#pragma once

#include "protocol/CommandFraming.h"

#include <cstdint>
#include <cstdio>
#include <deque>

namespace quillon::ctl {

class StreamLog {
public:
    StreamLog(std::FILE* out, bool json, CommandSet set = CommandSet::Basic)
        : out_(out), json_(json), set_(set) {}

    // Bytes on their way to the simulator, seconds since the log began.
    void fromController(const std::uint8_t* bytes, int count, double seconds);
    // Bytes on their way to the controller. Each answer belongs to the
    // oldest command still waiting for one; bytes that no command waits for
    // are logged as unexpected.
    void fromSimulator(const std::uint8_t* bytes, int count, double seconds);
    // Forgets half-seen commands and answers, as when the link starts anew.
    void reset();

private:
    struct Awaited {
        std::uint8_t first;
        int length;
    };
    void line(char direction, const std::uint8_t* bytes, int count, double seconds,
              const char* text);

    std::FILE* out_;
    bool json_;
    CommandSet set_;
    std::uint8_t command_[2] = {};
    int commandLength_ = 0;
    std::deque<Awaited> awaited_;
    std::uint8_t answer_[64] = {};
    int answerLength_ = 0;
};

} // namespace quillon::ctl
