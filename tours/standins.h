// Private stand-ins for services of other subsystems that tours needs before they are on main:
// distance and UTM (geo) and the device profile's time-record word (core). Remove each one
// when the real service lands.
#pragma once
#include <cmath>
#include <cstdint>

#include "core/track_point.h"

namespace tours_standin {

// Short distances flat, long ones on the great circle, as the geo service will do.
inline double DistanceMetres(const TrackPoint& a, const TrackPoint& b) {
    static int greatCircleMode = 0;
    auto flat = [&] {
        double dx = static_cast<double>(static_cast<int32_t>(static_cast<uint32_t>(a.longitude) -
                                                             static_cast<uint32_t>(b.longitude))) *
                    std::cos(a.latitude * 1e-8);
        double dy = static_cast<double>(a.latitude) - b.latitude;
        return std::sqrt(dx * dx + dy * dy) * 0.06378137;
    };
    if (greatCircleMode == 0) {
        double d = flat();
        if (d < 100000.0)
            return d;
        greatCircleMode = 1;
    }
    double p1 = a.latitude * 1e-8, p2 = b.latitude * 1e-8;
    double dl = (static_cast<double>(b.longitude) - a.longitude) * 1e-8;
    double c = std::cos(dl) * std::cos(p2) * std::cos(p1) + std::sin(p2) * std::sin(p1);
    double d = std::acos(c > 1.0 ? 1.0 : (c < -1.0 ? -1.0 : c)) * 6378137.0;
    if (d >= 100000.0)
        return d;
    greatCircleMode = 0;
    return flat();
}

// WGS84 UTM with the zone chosen from the longitude.
inline void FillUtm(TrackPoint* p) {
    const double kPi = 3.14159265358979323846;
    const double kA = 6378137.0, kF = 1.0 / 298.257223563, kK0 = 0.9996;
    const double e2 = kF * (2 - kF), ep2 = e2 / (1 - e2);
    const double lat = p->latitude * 1e-8, lon = p->longitude * 1e-8;
    const double latDeg = lat * 180.0 / kPi, lonDeg = lon * 180.0 / kPi;
    int zone = static_cast<int>(std::floor((lonDeg + 180.0) / 6.0)) + 1;
    if (zone < 1 || zone > 60)
        zone = zone < 1 ? 1 : 60;
    const double lon0 = ((zone - 1) * 6 - 180 + 3) * kPi / 180.0;
    const double s = std::sin(lat), c = std::cos(lat), t = std::tan(lat);
    const double n = kA / std::sqrt(1 - e2 * s * s), tt = t * t, cc = ep2 * c * c;
    const double a = c * (lon - lon0);
    const double e4 = e2 * e2, e6 = e4 * e2;
    const double m = kA * ((1 - e2 / 4 - 3 * e4 / 64 - 5 * e6 / 256) * lat -
                           (3 * e2 / 8 + 3 * e4 / 32 + 45 * e6 / 1024) * std::sin(2 * lat) +
                           (15 * e4 / 256 + 45 * e6 / 1024) * std::sin(4 * lat) -
                           (35 * e6 / 3072) * std::sin(6 * lat));
    const double east = kK0 * n *
                            (a + (1 - tt + cc) * a * a * a / 6 +
                             (5 - 18 * tt + tt * tt + 72 * cc - 58 * ep2) * std::pow(a, 5) / 120) +
                        500000.0;
    double north =
        kK0 * (m + n * t *
                       (a * a / 2 + (5 - tt + 9 * cc + 4 * cc * cc) * std::pow(a, 4) / 24 +
                        (61 - 58 * tt + tt * tt + 600 * cc - 330 * ep2) * std::pow(a, 6) / 720));
    if (lat < 0)
        north += 10000000.0;
    static const char kBands[] = "CDEFGHJKLMNPQRSTUVWXX";
    int band = static_cast<int>(std::floor((latDeg + 80.0) / 8.0));
    p->utmEasting = std::isfinite(east) ? static_cast<int32_t>(east) : 0;
    p->utmNorthing = std::isfinite(north) ? static_cast<int32_t>(north) : 0;
    p->utmZone = static_cast<uint16_t>(zone);
    p->utmBand = static_cast<uint16_t>(band >= 0 && band < 21 ? kBands[band] : 'Z');
}

// The device profile's time-record word and recording-paused option bit.
inline int& TimeRecordWord() {
    static int word = 0;
    return word;
}
inline bool RecordingPaused() {
    return false;
}

} // namespace tours_standin
