#include "core/date_text.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/clock.h"

namespace {

class FixedClock {
public:
    explicit FixedClock(const SYSTEMTIME& time)
        : previous_(SetClockHooks({[time](SYSTEMTIME* out) { *out = time; }, nullptr})) {}
    ~FixedClock() { SetClockHooks(previous_); }

private:
    ClockHooks previous_;
};

SYSTEMTIME Time(int y, int mo, int d, int h, int mi, int s) {
    SYSTEMTIME t{};
    t.wYear = static_cast<WORD>(y);
    t.wMonth = static_cast<WORD>(mo);
    t.wDay = static_cast<WORD>(d);
    t.wHour = static_cast<WORD>(h);
    t.wMinute = static_cast<WORD>(mi);
    t.wSecond = static_cast<WORD>(s);
    return t;
}

TEST(DateText, FormatsTheLocalTime) {
    FixedClock clock(Time(2026, 3, 7, 9, 5, 4));
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
    FixedClock clock(Time(2026, 12, 31, 23, 59, 59));
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
