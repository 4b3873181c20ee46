// Sine and cosine of quarter degrees times 10000, from tables: integer-only callers (coverage
// test, screen transforms) use them.
#pragma once
#include <cstdint>

constexpr int kFixedTrigEntries = 1440; // quarter degrees in a turn

// angle: quarter degrees, -2880 and up (callers keep angles within one turn of 0).
int FixedSin(int16_t angle);
int FixedCos(int16_t angle);
