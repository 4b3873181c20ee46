// Round numbers for the map's scale bar and the axes of graphs.
#pragma once
#include <cstddef>

// The smallest of 1, 2, 2.5, 4, 5, 7.5 and 10 times a power of ten that is not below x (x > 0;
// 0 for anything else).
float NiceScaleNumber(float x);

// Scale-bar labels: `pixels` spans `metres`; it is rescaled to span the round distance that
// the label names.
int DistanceTextKm(int* pixels, float metres, wchar_t* buffer, size_t bufferChars);
int DistanceTextMi(int* pixels, float metres, wchar_t* buffer, size_t bufferChars);
int DistanceTextNm(int* pixels, float metres, wchar_t* buffer, size_t bufferChars);

// Widens lo..hi to round limits and chooses the tick count. An empty or inverted range is left
// alone (count 5).
void AxisTickLayout(int* lo, int* hi, int* count);
// The same in units of `divisor` (speed axes); hi = 2147483647 for lo marks "no data".
void AxisTickLayoutScaled(int* lo, int* hi, int divisor);
