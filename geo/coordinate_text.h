// Latitudes and longitudes (radians x 10^8) as text in the user's coordinate format, and the
// parsers of coordinate texts typed by users or read from calibration files.
#pragma once
#include "geo/projection.h"

#include <cstddef>
#include <cstdint>

// decimals: 2, 3 or 4 (decimal minutes); fewer than 4 gives 6 decimals of a degree, else 7.
int LatitudeText(int32_t latitude, wchar_t* buffer, size_t bufferChars, int decimals);
int LongitudeText(int32_t longitude, wchar_t* buffer, size_t bufferChars, int decimals);
int LatitudeDecimalText(int32_t latitude, wchar_t* buffer, size_t bufferChars, int decimals);
int LongitudeDecimalText(int32_t longitude, wchar_t* buffer, size_t bufferChars, int decimals);
int LatitudeText4(int32_t latitude, wchar_t* buffer, size_t bufferChars);
int LongitudeText4(int32_t longitude, wchar_t* buffer, size_t bufferChars);

// "47°15.25'N", "8°30'15\"E", "8.5W", "-8.5": radians x 10^8, or -1 when no form matches.
int32_t ParseCoordinateText(const wchar_t* text);
// The same on 8-bit text (degree sign 0xB0; minutes marked by ' or a blank only).
int32_t ParseCoordinateTextA(const char* text);

// One calibration line "(120,45) = (11°30.5'E, 47°15.25'N)" from text + offset: fills the
// fields it finds (longitude first) and returns the offset of the end of the line.
size_t ParsePixelCoordLine(RefPoint* point, const char* text, size_t offset);

// ',' becomes '.' up to the end of the first line.
void DecimalCommaToPoint(char* text);
