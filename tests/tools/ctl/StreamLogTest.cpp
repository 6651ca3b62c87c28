#include "ctl/StreamLog.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace quillon::ctl {
namespace {

// A log written into memory, read back line by line.
class StreamLogTest : public ::testing::Test {
protected:
    ~StreamLogTest() override {
        std::fclose(out);
        std::free(text);
    }
    std::vector<std::string> lines() {
        std::fflush(out);
        std::vector<std::string> all;
        std::string whole(text, size);
        for (std::size_t at = 0, end; (end = whole.find('\n', at)) != std::string::npos;
             at = end + 1)
            all.push_back(whole.substr(at, end - at));
        return all;
    }

    char* text = nullptr;
    std::size_t size = 0;
    std::FILE* out = ::open_memstream(&text, &size);
};

TEST_F(StreamLogTest, KeepsABoundedNumberOfRequestsWaiting) {
    StreamLog log(out, false);
    const std::uint8_t request = CMD_REPORT;
    for (int k = 0; k < 100000; ++k)
        log.fromController(&request, 1, 0.0);
    EXPECT_EQ(log.awaiting(), StreamLog::MAX_AWAITED);
}

TEST_F(StreamLogTest, GivesUpOnAnAnswerThatNeverCameAndFilesTheNextUnderItsRequest) {
    StreamLog log(out, false, CommandSet::Full);
    const std::uint8_t module = CMD_MODULE + 3, report = CMD_REPORT;
    const std::uint8_t answer[10] = {0, 0, 0, 0, 0, 0x08, 0, 0, 0, 0};
    log.fromController(&module, 1, 0.0);
    log.fromController(&report, 1, 2.0);
    log.fromSimulator(answer, 10, 2.01);
    EXPECT_EQ(lines(), (std::vector<std::string>{
                           "0.000 > c3  report module 3",
                           "2.000 > 85  report",
                           "2.010 <  no answer to report module 3 sent at 0.000",
                           "2.010 < 00 00 00 00 00 08 00 00 00 00  report C13",
                       }));
}

} // namespace
} // namespace quillon::ctl
