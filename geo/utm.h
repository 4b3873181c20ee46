// One WGS84 position both as latitude/longitude (degrees) and as a UTM grid reference.
#pragma once
#include "geo/ellipsoid.h"

#include <cstdint>

constexpr int kUtmChooseZone = 100; // zone argument: take the position's own zone

class cUTM {
public:
    explicit cUTM(cEllipsoid* ellipsoid = nullptr); // takes ownership; null: WGS84
    // Degrees; converts in the position's own zone.
    cUTM(const double& latitude, const double& longitude, cEllipsoid* ellipsoid = nullptr);
    // Radians x 10^8.
    cUTM(int32_t latitude, int32_t longitude, int zone = kUtmChooseZone,
         cEllipsoid* ellipsoid = nullptr);
    ~cUTM();
    cUTM(const cUTM&) = delete;
    cUTM& operator=(const cUTM&) = delete;

    void SetLatLon(int32_t latitude, int32_t longitude, int zone = kUtmChooseZone);
    void SetUtm(int32_t easting, int zone, int32_t northing, char band);
    // "32U 500000,5300000"; owned by this object.
    const char* GetText();
    static char GetBand(double latitude);
    void LatLonToUtm(int zone = kUtmChooseZone);
    void UtmToLatLon();

    double latitude = 0.0;  // degrees
    double longitude = 0.0; // degrees, -180..180
    uint8_t zone = 0;
    char band = '*';
    double easting = 0.0;  // metres, false easting 500000 included
    double northing = 0.0; // metres, false northing 10000000 south of the equator
    cEllipsoid* ellipsoid = nullptr;
    char text[32] = {};

private:
    // Coefficients A' to E' of the meridian arc in powers of n = (a - b) / (a + b).
    struct ArcSeries {
        double A, B, C, D, E;
    };
    ArcSeries MeridianSeries() const;
    static double MeridianArc(double phi, const ArcSeries& s);
    double Nu(double phi) const;
    double Rho(double phi) const;
};
