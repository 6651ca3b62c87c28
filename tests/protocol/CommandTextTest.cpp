#include "protocol/CommandText.h"
#include "track/ContactNames.h"

#include "protocol/CommandDecoder.h"
#include "support/FakeHost.h"

#include <gtest/gtest.h>
#include <string>

namespace quillon::testing {

TEST(CommandTextTest, DescribesEachKindOfCommand) {
    struct Row {
        Bytes bytes;
        CommandSet set;
        const char* text;
    } rows[] = {
        {{8, 12}, CommandSet::Basic, "speed train 12 step 8"},
        {{15, 57}, CommandSet::Basic, "reverse train 57"},
        {{24, 12}, CommandSet::Full, "speed train 12 step 8 light on"},
        {{31, 12}, CommandSet::Full, "reverse train 12 light on"},
        {{24, 12}, CommandSet::Basic, "unknown 24 12"},
        {{33, 5}, CommandSet::Basic, "switch 5 straight"},
        {{34, 153}, CommandSet::Basic, "switch 153 curved"},
        {{32}, CommandSet::Basic, "solenoid off"},
        {{133}, CommandSet::Basic, "report"},
        {{131}, CommandSet::Full, "report modules 1-3"},
        {{194}, CommandSet::Full, "report module 2"},
        {{96}, CommandSet::Full, "go"},
        {{97}, CommandSet::Full, "stop"},
        {{97}, CommandSet::Basic, "accepted 97"},
        {{66, 12}, CommandSet::Full, "function 2 train 12"},
        {{8}, CommandSet::Basic, "incomplete"},
    };
    for (const Row& row : rows) {
        char text[COMMAND_TEXT_CAPACITY];
        describeCommand(row.bytes.data(), int(row.bytes.size()), row.set, text);
        EXPECT_STREQ(text, row.text);
    }
}

TEST(CommandTextTest, NamesTheSensorsOfAReportByTheModulesAskedFor) {
    char text[64];
    Bytes report{0x80, 0, 0, 0, 0, 0x08, 0, 0, 0, 0x01};
    describeReport(133, CommandSet::Basic, report.data(), 10, text, sizeof text);
    EXPECT_STREQ(text, "A1 C13 E16");
    Bytes module2{0x00, 0x01};
    describeReport(194, CommandSet::Full, module2.data(), 2, text, sizeof text);
    EXPECT_STREQ(text, "B16");
    describeReport(133, CommandSet::Basic, Bytes(10, 0).data(), 10, text, sizeof text);
    EXPECT_STREQ(text, "none");
}

} // namespace quillon::testing
