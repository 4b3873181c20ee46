#include "geo/utm.h"

#include "core/truncate.h"
#include "geo/angles.h"
#include "geo/text_format.h"

#include <cmath>

namespace {
constexpr double kK0 = 0.9996;
constexpr double kFalseEasting = 500000.0;
constexpr double kFalseNorthing = 10000000.0;
constexpr double kMaxNorthing = 9999999.0;

int CentralMeridianDegrees(int zone) {
    return 6 * zone - 183;
}

// Zones 1..60; the computation gives 0 or 61 exactly at -180 and +180 degrees.
int ZoneOfLongitude(double lon) {
    const int zone = lon <= 0.0 ? 30 - TruncateToInt(-lon / 6.0) : 31 - TruncateToInt(-lon / 6.0);
    return zone < 1 ? 1 : (zone > 60 ? 60 : zone);
}
} // namespace

cUTM::cUTM(cEllipsoid* e) : ellipsoid(e ? e : new cEllipsoid) {}

cUTM::cUTM(const double& lat, const double& lon, cEllipsoid* e)
    : latitude(lat), longitude(lon), ellipsoid(e ? e : new cEllipsoid) {
    LatLonToUtm(kUtmChooseZone);
}

cUTM::cUTM(int32_t lat, int32_t lon, int z, cEllipsoid* e) : ellipsoid(e ? e : new cEllipsoid) {
    SetLatLon(lat, lon, z);
}

cUTM::~cUTM() {
    delete ellipsoid;
}

void cUTM::SetLatLon(int32_t lat, int32_t lon, int z) {
    latitude = lat * kAngleToDegrees;
    longitude = lon * kAngleToDegrees;
    LatLonToUtm(z);
}

void cUTM::SetUtm(int32_t e, int z, int32_t n, char b) {
    easting = e;
    zone = static_cast<uint8_t>(z);
    northing = n;
    band = b;
    UtmToLatLon();
}

const char* cUTM::GetText() {
    FormatTextA(text, sizeof text, "%d%c %.0f,%.0f", zone, band, easting, northing);
    return text;
}

char cUTM::GetBand(double lat) {
    if (!(lat < 84.0) || lat < -80.0)
        return '*';
    if (lat >= 72.0)
        return 'X';
    static const char letters[] = "CDEFGHJKLMNPQRSTUVWX";
    return letters[TruncateToInt((lat + 80.0) / 8.0)];
}

cUTM::ArcSeries cUTM::MeridianSeries() const {
    const double a = ellipsoid->SemiMajorAxis();
    const double b = ellipsoid->SemiMinorAxis();
    const double n = (a - b) / (a + b);
    const double n2 = n * n, n3 = n2 * n, n4 = n3 * n, n5 = n4 * n;
    ArcSeries s;
    s.A = a * (1.0 - n + 5.0 / 4.0 * (n2 - n3) + 81.0 / 64.0 * (n4 - n5));
    s.B = 3.0 / 2.0 * a * (n - n2 + 7.0 / 8.0 * (n3 - n4) + 55.0 / 64.0 * n5);
    s.C = 15.0 / 16.0 * a * (n2 - n3 + 3.0 / 4.0 * (n4 - n5));
    s.D = 35.0 / 48.0 * a * (n3 - n4 + 11.0 / 16.0 * n5);
    s.E = 315.0 / 512.0 * a * (n4 - n5);
    return s;
}

double cUTM::MeridianArc(double phi, const ArcSeries& s) {
    return s.A * phi - s.B * std::sin(2 * phi) + s.C * std::sin(4 * phi) - s.D * std::sin(6 * phi) +
           s.E * std::sin(8 * phi);
}

double cUTM::Nu(double phi) const {
    const double s = std::sin(phi);
    return ellipsoid->SemiMajorAxis() / std::sqrt(1.0 - ellipsoid->EccentricitySquared() * s * s);
}

double cUTM::Rho(double phi) const {
    const double e2 = ellipsoid->EccentricitySquared();
    const double s = std::sin(phi);
    return ellipsoid->SemiMajorAxis() * (1.0 - e2) / std::pow(1.0 - e2 * s * s, 1.5);
}

void cUTM::LatLonToUtm(int zoneRequest) {
    if (longitude > 180.0)
        longitude -= 360.0;
    else if (longitude < -180.0)
        longitude += 360.0;
    int z = ZoneOfLongitude(longitude);
    band = GetBand(latitude);
    if (zoneRequest != kUtmChooseZone)
        z = zoneRequest;
    zone = static_cast<uint8_t>(z);

    const double phi = latitude * kDegreesToRadians;
    const double p = longitude * kDegreesToRadians - CentralMeridianDegrees(z) * kDegreesToRadians;
    const double s = std::sin(phi), c = std::cos(phi), t = s / c;
    const double nu = Nu(phi);
    const double q = ellipsoid->SecondEccentricitySquared() * c * c;
    const double k1 = MeridianArc(phi, MeridianSeries()) * kK0;
    const double k2 = kK0 * nu * s * c / 2.0;
    const double k3 = (kK0 * nu * s * c * c * c / 24.0) * (5.0 - t * t + 9.0 * q + 4.0 * q * q);
    const double k4 = kK0 * nu * c;
    const double k5 = (kK0 * nu * c * c * c / 6.0) * (1.0 - t * t + q);
    const double p2 = p * p;
    northing = k1 + k2 * p2 + k3 * p2 * p2 + (latitude < 0.0 ? kFalseNorthing : 0.0) + 0.5;
    easting = k4 * p + k5 * p2 * p + kFalseEasting + 0.5;
    if (northing >= kMaxNorthing)
        northing = kMaxNorthing;
}

void cUTM::UtmToLatLon() {
    const bool south = (band >= 'C' && band <= 'M') || (band >= 'c' && band <= 'm');
    const double fn = south ? kFalseNorthing : 0.0;
    const double e2 = ellipsoid->EccentricitySquared();
    const double m = (northing - fn) / kK0;
    double phi = m / (ellipsoid->SemiMajorAxis() * (1.0 - e2));
    const ArcSeries series = MeridianSeries();
    for (int i = 0; i < 5; ++i)
        phi += (m - MeridianArc(phi, series)) / Rho(phi);

    const double nu = Nu(phi), rho = Rho(phi), t = std::tan(phi), T = t * t;
    const double c = std::cos(phi);
    const double q = ellipsoid->SecondEccentricitySquared() * c * c;
    const double x = easting - kFalseEasting;
    const double x2 = x * x;
    const double k2 = kK0 * kK0;
    const double lat = phi - t * x2 / (2.0 * k2 * rho * nu) +
                       t * (5.0 + 3.0 * T + q - 4.0 * q * q - 9.0 * T * q) * x2 * x2 /
                           (24.0 * k2 * k2 * rho * nu * nu * nu);
    const double lon = x / (kK0 * nu * c) -
                       (1.0 + 2.0 * T + q) * x2 * x / (6.0 * k2 * kK0 * nu * nu * nu * c) +
                       CentralMeridianDegrees(zone) * kDegreesToRadians;
    latitude = lat * kRadiansToDegrees;
    longitude = lon * kRadiansToDegrees;
    band = GetBand(latitude);
}
