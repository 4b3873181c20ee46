// Bounded printf into caller buffers: the text is always terminated and never longer than the
// buffer; the result is what the formatting call returned (negative or >= size when cut).
#pragma once
#include <cstdarg>
#include <cstddef>

int FormatText(wchar_t* buffer, size_t bufferChars, const wchar_t* format, ...);
int FormatTextV(wchar_t* buffer, size_t bufferChars, const wchar_t* format, va_list args);
int FormatTextA(char* buffer, size_t bufferChars, const char* format, ...)
    __attribute__((format(gnu_printf, 3, 4)));
