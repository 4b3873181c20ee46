// The clock seam: reading and setting the local time. Tests install a fake clock so that
// setting the device clock from a fix never touches the host's clock.
#pragma once
#include <windows.h>
#include <functional>

void PlatformGetLocalTime(SYSTEMTIME* out);
BOOL PlatformSetLocalTime(const SYSTEMTIME* time);

struct ClockHooks {
    std::function<void(SYSTEMTIME*)> get;
    std::function<BOOL(const SYSTEMTIME*)> set;
};
// Installs hooks (empty members keep the real call for that direction); returns the previous.
ClockHooks SetClockHooks(ClockHooks hooks);
