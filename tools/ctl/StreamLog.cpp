#include "ctl/StreamLog.h"

#include "protocol/CommandText.h"

#include <cstring>

namespace quillon::ctl {

void StreamLog::line(char direction, const std::uint8_t* bytes, int count, double seconds,
                     const char* text) {
    if (json_) {
        std::fprintf(out_, "{\"time\":%.3f,\"from\":\"%s\",\"bytes\":[", seconds,
                     direction == '>' ? "controller" : "simulator");
        for (int k = 0; k < count; ++k)
            std::fprintf(out_, "%s%d", k == 0 ? "" : ",", bytes[k]);
        std::fprintf(out_, "],\"text\":\"%s\"}\n", text);
        return;
    }
    std::fprintf(out_, "%.3f %c", seconds, direction);
    for (int k = 0; k < count; ++k)
        std::fprintf(out_, " %02x", bytes[k]);
    std::fprintf(out_, "  %s\n", text);
}

void StreamLog::giveUpOldest(double seconds) {
    const Awaited oldest = awaited_[awaitedFirst_];
    awaitedFirst_ = (awaitedFirst_ + 1) % MAX_AWAITED;
    --awaitedCount_;
    char command[COMMAND_TEXT_CAPACITY];
    describeCommand(&oldest.first, 1, set_, command);
    char text[COMMAND_TEXT_CAPACITY + 64];
    std::snprintf(text, sizeof text, "no answer to %s sent at %.3f", command, oldest.seconds);
    line('<', nullptr, 0, seconds, text);
}

void StreamLog::fromController(const std::uint8_t* bytes, int count, double seconds) {
    for (int k = 0; k < count; ++k) {
        command_[commandLength_++] = bytes[k];
        const CommandShape shape = commandShape(command_[0], set_);
        if (commandLength_ < shape.length)
            continue;
        char text[COMMAND_TEXT_CAPACITY];
        describeCommand(command_, commandLength_, set_, text);
        line('>', command_, commandLength_, seconds, text);
        commandLength_ = 0;
        const int length = replyLength(shape);
        if (length == 0)
            continue;
        if (awaitedCount_ == MAX_AWAITED)
            giveUpOldest(seconds);
        awaited_[(awaitedFirst_ + awaitedCount_) % MAX_AWAITED] = {command_[0], length, seconds};
        ++awaitedCount_;
    }
}

void StreamLog::fromSimulator(const std::uint8_t* bytes, int count, double seconds) {
    int k = 0;
    while (k < count) {
        // A new answer belongs to the oldest request that may still get one.
        while (answerLength_ == 0 && awaitedCount_ > 1 &&
               seconds - awaited_[awaitedFirst_].seconds > ANSWER_WAIT_S)
            giveUpOldest(seconds);
        if (awaitedCount_ == 0) {
            // Nothing asked for these: shown as they came, 16 to a line.
            const int chunk = count - k < 16 ? count - k : 16;
            line('<', bytes + k, chunk, seconds, "unexpected");
            k += chunk;
            continue;
        }
        const Awaited awaited = awaited_[awaitedFirst_];
        answer_[answerLength_++] = bytes[k++];
        if (answerLength_ < awaited.length)
            continue;
        char command[COMMAND_TEXT_CAPACITY];
        describeCommand(&awaited.first, 1, set_, command);
        char sensors[512];
        describeReport(awaited.first, set_, answer_, answerLength_, sensors, sizeof sensors);
        char text[COMMAND_TEXT_CAPACITY + sizeof sensors];
        std::snprintf(text, sizeof text, "%s %s", command, sensors);
        line('<', answer_, answerLength_, seconds, text);
        answerLength_ = 0;
        awaitedFirst_ = (awaitedFirst_ + 1) % MAX_AWAITED;
        --awaitedCount_;
    }
}

void StreamLog::reset() {
    commandLength_ = 0;
    answerLength_ = 0;
    awaitedFirst_ = 0;
    awaitedCount_ = 0;
}

} // namespace quillon::ctl
