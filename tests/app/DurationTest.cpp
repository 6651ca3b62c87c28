#include "app/Duration.h"

#include <gtest/gtest.h>

namespace quillon::testing {

TEST(DurationTest, ReadsWholeMillisecondsUpToADay) {
    struct Row {
        const char* text;
        std::int32_t ms; // -1: refused
    } rows[] = {
        {"250ms", 250},
        {"1.5s", 1500},
        {"2", 2000},
        {"0s", 0},
        {".25s", 250},
        {"2.ms", 2},
        {"1.0005s", -1},
        {"0.5ms", -1},
        {"s", -1},
        {"ms", -1},
        {"", -1},
        {"-1s", -1},
        {"1e3ms", -1},
        {"0x10", -1},
        {"1.5.0s", -1},
        {"2 s", -1},
        {"86400s", 86400000},
        {"86401s", -1},
        {"86400001ms", -1},
        {"99999999999ms", -1},
        {"0.0000001s", -1},
    };
    for (const Row& row : rows) {
        std::int32_t ms = -1;
        const bool read = parseDuration(row.text, ms);
        EXPECT_EQ(read ? ms : -1, row.ms) << row.text;
    }
}

} // namespace quillon::testing
