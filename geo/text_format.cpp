#include "geo/text_format.h"

#include <cstdio>
#include <cwchar>

int FormatTextV(wchar_t* buffer, size_t bufferChars, const wchar_t* format, va_list args) {
    if (!buffer || bufferChars == 0)
        return -1;
    buffer[0] = L'\0';
    const int written = vswprintf(buffer, bufferChars, format, args);
    buffer[bufferChars - 1] = L'\0';
    return written;
}

int FormatText(wchar_t* buffer, size_t bufferChars, const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    const int written = FormatTextV(buffer, bufferChars, format, args);
    va_end(args);
    return written;
}

int FormatTextA(char* buffer, size_t bufferChars, const char* format, ...) {
    if (!buffer || bufferChars == 0)
        return -1;
    buffer[0] = '\0';
    va_list args;
    va_start(args, format);
    const int written = vsnprintf(buffer, bufferChars, format, args);
    va_end(args);
    buffer[bufferChars - 1] = '\0';
    return written;
}
