// A local time for tests: building SYSTEMTIME records, and holding the clock seam at one time.
#pragma once
#include <windows.h>

#include "platform/clock.h"

inline SYSTEMTIME MakeSystemTime(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    SYSTEMTIME t{};
    t.wYear = static_cast<WORD>(y);
    t.wMonth = static_cast<WORD>(mo);
    t.wDay = static_cast<WORD>(d);
    t.wHour = static_cast<WORD>(h);
    t.wMinute = static_cast<WORD>(mi);
    t.wSecond = static_cast<WORD>(s);
    return t;
}

// While it lives, reading the local time gives `time`; setting it keeps the test's hook.
class FixedClock {
public:
    explicit FixedClock(const SYSTEMTIME& time)
        : previous_(SetClockHooks({[time](SYSTEMTIME* out) { *out = time; }, nullptr})) {}
    ~FixedClock() { SetClockHooks(previous_); }
    FixedClock(const FixedClock&) = delete;
    FixedClock& operator=(const FixedClock&) = delete;

private:
    ClockHooks previous_;
};
