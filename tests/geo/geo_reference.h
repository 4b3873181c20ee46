// The independent reference values (tests/geo/geo_reference.inc, made by
// scripts/geo-reference.sh) and the ground distance used to compare against them.
#pragma once
#include <cmath>

#include "geo/angles.h"

struct UtmReference {
    double latitude, longitude;
    int zone;
    double easting, northing;
};
struct GkReference {
    double longitude, latitude, easting, northing;
    int eastingInt, northingInt;
    double backLongitude, backLatitude;
};

namespace {
#include "geo_reference.inc"
} // namespace

// Ground distance in metres between two positions given in degrees.
inline double GroundMetres(double lat1, double lon1, double lat2, double lon2) {
    const double dy = (lat1 - lat2) * 111320.0;
    const double dx = (lon1 - lon2) * 111320.0 * std::cos(lat1 * kDegreesToRadians);
    return std::hypot(dx, dy);
}
