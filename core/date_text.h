// Date texts of the local time (read through the clock seam). Output buffers are the caller's,
// with their size; a text that does not fit leaves the output empty and returns false.
#pragma once
#include <cstddef>

// "2026/12/10"
bool FormatDate(wchar_t* out, size_t chars);
// "2026/12/10 14:05:09"
bool FormatCurrentDateTime(wchar_t* out, size_t chars);
// The date line of a calibration file, 8-bit, day first: "DATE:      10/12/2026\r\n"
bool FormatCalDateLine(char* out, size_t chars);
