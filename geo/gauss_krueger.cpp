#include "geo/gauss_krueger.h"

#include "core/truncate.h"

#include <cmath>

namespace {
constexpr double kBesselA = 6377397.155;
constexpr double kBesselB = 6356078.963;
constexpr double kBesselE2 = 0.00667437222746707;
constexpr double kBesselE2Second = 0.006719218741581;
constexpr double kShiftToWgs[3] = {587.0, 16.0, 393.0};
constexpr double kAssumedHeight = 1389.592; // metres, of the WGS84 point
constexpr double kWgsA = 6378137.0;
constexpr double kWgsE2 = 0.00669437999014036;
constexpr double kDegToRad = 0.0174532925199433;
constexpr double kRadToDeg = 57.2957795130823;
constexpr int kMaxIterations = 100;
} // namespace

void GkToBessel(int32_t easting, int32_t northing, double* longitude, double* latitude) {
    const int zone = easting / 1000000;
    const double u = northing * 8.999229878304241e-6;
    const double phiF = u + 0.143885358 * std::sin(u * 0.034906584) +
                        0.00021079 * std::sin(u * 0.069813168) +
                        4.23e-7 * std::sin(u * 0.104719752);
    const double phiR = phiF * 0.017453292;
    const double t = std::tan(phiR);
    const double c = std::cos(phiR);
    const double v2 = 1.0 + 0.006719219 * c * c;
    const double v = std::sqrt(v2);
    const double y =
        (static_cast<double>(easting) - 1000000.0 * zone - 500000.0) * v * 1.5627962353520185e-7;
    const double t2 = t * t, y2 = y * y;
    const double k = 0.6 + 1.1 * t2;
    *longitude = 3.0 * zone + (1.0 - (v2 + 2.0 * t2 - k * k * y2) * y2 / 6.0) / c * y * 57.29577;
    *latitude = phiF - (0.5 - (4.97 - 3.0 * t2) * y2 / 24.0) * y2 * v2 * t * 57.29577;
}

void BesselToWgs84(double longitude, double latitude, double* wgsLongitude, double* wgsLatitude) {
    const double lambda = longitude * kDegToRad, phi = latitude * kDegToRad;
    const double s = std::sin(phi);
    const double n = kBesselA / std::sqrt(1.0 - kBesselE2 * s * s);
    const double x = n * std::cos(phi) * std::cos(lambda) + kShiftToWgs[0];
    const double y = n * std::cos(phi) * std::sin(lambda) + kShiftToWgs[1];
    const double z = (1.0 - kBesselE2) * n * s + kShiftToWgs[2];
    const double p = std::sqrt(x * x + y * y);
    *wgsLatitude = std::atan((z / p) / (1.0 - kWgsE2)) * kRadToDeg;
    // atan2 keeps every quadrant; a bare atan(y / x) is right only east of -90 degrees.
    *wgsLongitude = std::atan2(y, x) * kRadToDeg;
}

void Wgs84ToBessel(double longitude, double latitude, double* besselLongitude,
                   double* besselLatitude) {
    const double lambda = longitude * kDegToRad, phi = latitude * kDegToRad;
    const double s = std::sin(phi);
    const double n = kWgsA / std::sqrt(1.0 - kWgsE2 * s * s);
    const double x = (n + kAssumedHeight) * std::cos(phi) * std::cos(lambda) - kShiftToWgs[0];
    const double y = (n + kAssumedHeight) * std::cos(phi) * std::sin(lambda) - kShiftToWgs[1];
    const double z = ((1.0 - kWgsE2) * n + kAssumedHeight) * s - kShiftToWgs[2];
    *besselLongitude = std::atan2(y, x) * kRadToDeg;

    const double p = std::sqrt(x * x + y * y);
    const double nb = kBesselA / std::sqrt(1.0 - kBesselE2 * s * s);
    double h = kAssumedHeight;
    double phiB = phi;
    for (int i = 0; i < kMaxIterations; ++i) {
        phiB = std::atan((z / p) / (1.0 - kBesselE2 * nb / (nb + h)));
        const double hNew = p / std::cos(phiB) - nb;
        const bool settled = std::fabs(h - hNew) <= 0.0001;
        h = hNew;
        if (settled)
            break;
    }
    *besselLatitude = phiB * kRadToDeg;
}

void BesselToGk(double longitude, double latitude, double* easting, double* northing) {
    const double e2 = kBesselE2Second, e4 = e2 * e2, e6 = e4 * e2, e8 = e6 * e2;
    const double c = kBesselA * kBesselA / kBesselB;
    const double phi = latitude * kDegToRad;
    const double cp = std::cos(phi);
    const double eta2 = e2 * cp * cp;
    const double n = c / std::sqrt(1.0 + eta2);
    const double t = std::tan(phi), t2 = t * t;
    const double rho = kRadToDeg;
    const double g =
        c * phi * (1.0 - 3.0 / 4 * e2 + 45.0 / 64 * e4 - 175.0 / 256 * e6 + 11025.0 / 16384 * e8) +
        c * std::sin(2 * phi) *
            (-3.0 / 8 * e2 + 15.0 / 32 * e4 - 525.0 / 1024 * e6 + 2205.0 / 4096 * e8) +
        c * std::sin(4 * phi) * (15.0 / 256 * e4 - 105.0 / 1024 * e6 + 2205.0 / 16384 * e8) +
        c * std::sin(6 * phi) * (-35.0 / 3072 * e6 + 315.0 / 12288 * e8);
    const double l0 = 3.0 * TruncateToInt((longitude + 1.5) / 3.0);
    const double l = longitude - l0, l2 = l * l;
    const double c2 = cp * cp, c3 = c2 * cp, c4 = c2 * c2, c5 = c4 * cp;
    *northing = g + c2 / (2 * rho * rho) * n * t * l2 +
                (5.0 - t2 + 9.0 * eta2) / (24 * std::pow(rho, 4)) * c4 * n * t * l2 * l2;
    *easting = cp / rho * n * l + (1.0 - t2 + eta2) / (6 * std::pow(rho, 3)) * c3 * n * l2 * l +
               (5.0 - 18.0 * t2 + t2 * t2) / (120 * std::pow(rho, 5)) * c5 * n * l2 * l2 * l +
               l0 * 333333.3333333333 + 500000.0;
}

void GkToWgs84(int32_t easting, int32_t northing, double* longitude, double* latitude) {
    double lon, lat;
    GkToBessel(easting, northing, &lon, &lat);
    BesselToWgs84(lon, lat, longitude, latitude);
}

void Wgs84ToGk(double longitude, double latitude, double* easting, double* northing) {
    double lon, lat;
    Wgs84ToBessel(longitude, latitude, &lon, &lat);
    BesselToGk(lon, lat, easting, northing);
}
