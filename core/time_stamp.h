// Time stamps: unsigned seconds since 1980-01-01 00:00:00 local time (no zone, no DST).
#pragma once
#include <windows.h>
#include <cstdint>

uint32_t GetCurrentTimeStamp();
// The day of week and the milliseconds of the record are ignored.
uint32_t MakeTimeStamp(const SYSTEMTIME& time);
void SplitTimeStamp(uint32_t stamp, SYSTEMTIME* out);

bool IsLeapYear(int year);
