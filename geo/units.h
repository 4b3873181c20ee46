// Distances between positions and the texts of distances, speeds and altitudes in the user's
// unit system (metric, imperial or nautical, read afresh at every call).
#pragma once
#include "core/track_point.h"

#include <cstddef>

// Metres; flat below 100 km, great circle above. The choice sticks to the great circle until a
// distance below 100 km is met (process-wide, user-interface thread only).
double DistanceMetres(const TrackPoint& p1, const TrackPoint& p2);
// Plane approximation on a sphere of radius 6378137 m, scaled by the first point's latitude.
double DistanceFlat(const TrackPoint& p1, const TrackPoint& p2);
double DistanceGreatCircle(const TrackPoint& p1, const TrackPoint& p2);
// Clears the great-circle mode of DistanceMetres (as at program start).
void ResetDistanceMode();

const wchar_t* SpeedUnitText();         // "km/h", "mph", "kn"
const wchar_t* AltitudeUnitText();      // "m", "ft"
const wchar_t* DistanceUnitText();      // "km", "mi", "nm"
const wchar_t* DeltaDistanceUnitText(); // the same after a capital delta

// speed in 0.1 km/h; the first 'u' of the format becomes the speed unit ("u %.1f,").
int SpeedText(wchar_t* buffer, size_t bufferChars, const wchar_t* format, int speed);
// Whole metres; feet are taken as 0.3 m.
int AltitudeText(wchar_t* buffer, size_t bufferChars, int metres);
// The two characters at the first 'u' become the unit ("%.1fuu"); the value is rounded to the
// nearest thousandth of the unit.
int DistanceText(wchar_t* buffer, size_t bufferChars, const wchar_t* format, double metres);
