#include "core/time_stamp.h"
#include "core/track_point.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tests/support/fixed_clock.h"

namespace {

SYSTEMTIME Date(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    return MakeSystemTime(y, mo, d, h, mi, s);
}

struct StampCase {
    SYSTEMTIME time;
    uint32_t stamp;
    int weekday;
};

TEST(TimeStamp, KnownValuesBothWays) {
    const StampCase cases[] = {
        {Date(1980, 1, 1), 0u, 2},                       // a Tuesday
        {Date(1980, 12, 31, 23, 59, 59), 31622399u, 3},  // 1980 is a leap year
        {Date(2000, 3, 1), 636336000u, 3},               // 2000 is a leap year
        {Date(2100, 3, 1), 3792009600u, 1},              // 2100 is not
        {Date(2024, 2, 29, 12, 30, 15), 1393677015u, 4}, // leap day
        {Date(2116, 2, 7, 6, 28, 15), 4294967295u, 5},   // the largest value
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MakeTimeStamp(c.time), c.stamp) << c.time.wYear;
        SYSTEMTIME back{};
        SplitTimeStamp(c.stamp, &back);
        EXPECT_EQ(back.wYear, c.time.wYear) << c.stamp;
        EXPECT_EQ(back.wMonth, c.time.wMonth) << c.stamp;
        EXPECT_EQ(back.wDay, c.time.wDay) << c.stamp;
        EXPECT_EQ(back.wHour, c.time.wHour) << c.stamp;
        EXPECT_EQ(back.wMinute, c.time.wMinute) << c.stamp;
        EXPECT_EQ(back.wSecond, c.time.wSecond) << c.stamp;
        EXPECT_EQ(back.wDayOfWeek, c.weekday) << c.stamp;
        EXPECT_EQ(back.wMilliseconds, 0) << c.stamp;
    }
}

TEST(TimeStamp, IgnoresWeekdayAndMillisecondsAndEarlyYears) {
    SYSTEMTIME t = Date(1990, 6, 15, 8, 0, 0);
    uint32_t plain = MakeTimeStamp(t);
    t.wDayOfWeek = 6;
    t.wMilliseconds = 999;
    EXPECT_EQ(MakeTimeStamp(t), plain);
    EXPECT_EQ(MakeTimeStamp(Date(1979, 1, 1)), 0u); // years up to 1980 add no days
}

TEST(TimeStamp, EveryDayOfALeapAndACommonYearRoundTrips) {
    for (uint32_t day = 0; day < 366 + 365; ++day) {
        uint32_t stamp = MakeTimeStamp(Date(2020, 1, 1)) + day * 86400u + 3661u;
        SYSTEMTIME t{};
        SplitTimeStamp(stamp, &t);
        ASSERT_EQ(MakeTimeStamp(t), stamp) << day;
    }
}

TEST(TrackPoint, InitialiserSetsNoAltitudeAndCurrentTime) {
    SYSTEMTIME fixed = Date(2026, 12, 10, 13, 45, 0);
    TrackPoint p;
    std::memset(&p, 0x5A, sizeof(p));
    {
        FixedClock clock(fixed);
        EXPECT_EQ(InitTrackPoint(&p), &p);
    }
    EXPECT_EQ(p.altitude, kNoAltitude);
    EXPECT_EQ(p.time, MakeTimeStamp(fixed));
    EXPECT_EQ(p.flags, 0u);
    EXPECT_EQ(p.longitude, 0);
    EXPECT_EQ(p.speed, 0);
    EXPECT_EQ(p.utmBand, 0);
}

} // namespace
