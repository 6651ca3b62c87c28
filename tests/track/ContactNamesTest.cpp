#include "track/ContactNames.h"

#include <gtest/gtest.h>

namespace quillon::testing {

TEST(ContactNamesTest, NameAndNumberGoBothWays) {
    for (int n = 0; n < 496; ++n) {
        char name[CONTACT_NAME_CAPACITY];
        ASSERT_TRUE(formatContactName(n, name));
        EXPECT_EQ(parseContactName(name), n) << name;
    }
    char name[CONTACT_NAME_CAPACITY];
    EXPECT_FALSE(formatContactName(496, name));
    EXPECT_EQ(parseContactName("c13"), 44);
    EXPECT_EQ(parseContactName("AA1"), 416) << "module 27 follows Z";
}

TEST(ContactNamesTest, RefusesWhatNamesNoContact) {
    for (const char* text : {"", "AF1", "AAA1", "A0", "A17", "A01", "A", "A1x", "A100", "13"})
        EXPECT_EQ(parseContactName(text), -1) << text;
}

} // namespace quillon::testing
