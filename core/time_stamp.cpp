#include "core/time_stamp.h"

#include "platform/clock.h"

namespace {
constexpr uint32_t kSecondsPerDay = 86400;
constexpr int kMonthDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

int YearLength(int year) { return IsLeapYear(year) ? 366 : 365; }
} // namespace

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

uint32_t MakeTimeStamp(const SYSTEMTIME& time) {
    uint32_t seconds = (time.wHour * 60u + time.wMinute) * 60u + time.wSecond;
    uint32_t days = 0;
    for (int year = 1980; year < time.wYear; ++year)
        days += YearLength(year);
    int month = time.wMonth;
    if (month > 12)
        month = 12;
    for (int m = 1; m < month; ++m)
        days += kMonthDays[m - 1];
    if (month >= 3 && IsLeapYear(time.wYear))
        days += 1;
    return seconds + (days + time.wDay - 1u) * kSecondsPerDay;
}

void SplitTimeStamp(uint32_t t, SYSTEMTIME* out) {
    out->wSecond = static_cast<WORD>(t % 60);
    out->wMinute = static_cast<WORD>((t / 60) % 60);
    out->wHour = static_cast<WORD>(t / 3600 - (t / kSecondsPerDay) * 24);
    out->wDayOfWeek = static_cast<WORD>((t / kSecondsPerDay + 2) % 7); // 1980-01-01: Tuesday
    out->wMilliseconds = 0;

    uint32_t d = t / kSecondsPerDay;
    int year = 1980;
    while (d >= static_cast<uint32_t>(YearLength(year))) {
        d -= YearLength(year);
        ++year;
    }
    out->wYear = static_cast<WORD>(year);

    uint32_t previousEnd = 0;
    uint32_t end = 0;
    int month = 1;
    for (; month <= 12; ++month) {
        end += kMonthDays[month - 1] + ((month == 2 && IsLeapYear(year)) ? 1 : 0);
        if (end > d)
            break;
        previousEnd = end;
    }
    out->wMonth = static_cast<WORD>(month);
    out->wDay = static_cast<WORD>(d - previousEnd + 1);
}

uint32_t GetCurrentTimeStamp() {
    SYSTEMTIME now{};
    PlatformGetLocalTime(&now);
    return MakeTimeStamp(now);
}
