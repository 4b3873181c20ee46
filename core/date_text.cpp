#include "core/date_text.h"

#include <windows.h>

#include <cstdio>
#include <cwchar>

#include "platform/clock.h"

namespace {

SYSTEMTIME Now() {
    SYSTEMTIME now{};
    PlatformGetLocalTime(&now);
    return now;
}

bool Written(int n, size_t chars) {
    return n >= 0 && static_cast<size_t>(n) < chars;
}

} // namespace

bool FormatDate(wchar_t* out, size_t chars) {
    if (!out || chars == 0)
        return false;
    SYSTEMTIME t = Now();
    int n = swprintf(out, chars, L"%4.4d/%2.2d/%2.2d", t.wYear, t.wMonth, t.wDay);
    if (Written(n, chars))
        return true;
    out[0] = L'\0';
    return false;
}

bool FormatCurrentDateTime(wchar_t* out, size_t chars) {
    if (!out || chars == 0)
        return false;
    SYSTEMTIME t = Now();
    int n = swprintf(out, chars, L"%4.4d/%2.2d/%2.2d %2.2d:%2.2d:%2.2d", t.wYear, t.wMonth, t.wDay,
                     t.wHour, t.wMinute, t.wSecond);
    if (Written(n, chars))
        return true;
    out[0] = L'\0';
    return false;
}

bool FormatCalDateLine(char* out, size_t chars) {
    if (!out || chars == 0)
        return false;
    SYSTEMTIME t = Now();
    int n = snprintf(out, chars, "DATE:      %2.2d/%2.2d/%4.4d\r\n", t.wDay, t.wMonth, t.wYear);
    if (Written(n, chars))
        return true;
    out[0] = '\0';
    return false;
}
