#include "core/date_text.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/support/fixed_clock.h"

namespace {

TEST(DateText, FormatsTheLocalTime) {
    FixedClock clock(MakeSystemTime(2026, 3, 7, 9, 5, 4));
    wchar_t text[32];
    ASSERT_TRUE(FormatDate(text, 32));
    EXPECT_STREQ(text, L"2026/03/07");
    ASSERT_TRUE(FormatCurrentDateTime(text, 32));
    EXPECT_STREQ(text, L"2026/03/07 09:05:04");
    char line[32];
    ASSERT_TRUE(FormatCalDateLine(line, 32));
    EXPECT_STREQ(line, "DATE:      07/03/2026\r\n");
}

TEST(DateText, TooSmallBufferStaysEmptyAndUnoverrun) {
    FixedClock clock(MakeSystemTime(2026, 12, 31, 23, 59, 59));
    wchar_t text[32];
    std::fill(std::begin(text), std::end(text), L'#');
    EXPECT_FALSE(FormatDate(text, 10)); // "2026/12/31" needs 11
    EXPECT_EQ(text[0], L'\0');
    EXPECT_EQ(text[10], L'#');
    EXPECT_TRUE(FormatDate(text, 11));
    EXPECT_FALSE(FormatCurrentDateTime(text, 19));
    EXPECT_EQ(text[0], L'\0');
    EXPECT_TRUE(FormatCurrentDateTime(text, 20));
    EXPECT_STREQ(text, L"2026/12/31 23:59:59");
    char line[32];
    std::fill(std::begin(line), std::end(line), '#');
    EXPECT_FALSE(FormatCalDateLine(line, 23)); // 23 characters and the terminator
    EXPECT_EQ(line[0], '\0');
    EXPECT_EQ(line[23], '#');
    EXPECT_TRUE(FormatCalDateLine(line, 24));
    EXPECT_FALSE(FormatDate(nullptr, 32));
}

} // namespace
