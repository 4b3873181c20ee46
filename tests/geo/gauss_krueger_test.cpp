#include "geo/gauss_krueger.h"

#include "geo/angles.h"

#include <gtest/gtest.h>

#include "tests/geo/geo_reference.h"

#include <cmath>

namespace {

TEST(GaussKrueger, CentralMeridianOfTheStrip) {
    const struct {
        double longitude;
        int strip; // millions digit of the easting
    } cases[] = {{10.4, 3}, {10.6, 4}, {7.4, 2}, {7.6, 3}, {9.0, 3}, {13.6, 5}, {5.9, 2}};
    for (const auto& c : cases) {
        double e, n;
        BesselToGk(c.longitude, 50.0, &e, &n);
        EXPECT_EQ(static_cast<int>(e / 1000000), c.strip) << c.longitude;
        // East of the meridian 500 km plus, west of it less.
        const double meridian = 3.0 * c.strip;
        EXPECT_EQ(std::fmod(e, 1000000.0) > 500000.0, c.longitude > meridian) << c.longitude;
    }
    double lon, lat;
    GkToBessel(3500000, 5000000, &lon, &lat);
    EXPECT_NEAR(lon, 9.0, 1e-9);
    EXPECT_NEAR(lat, 45.1, 0.1);
}

TEST(GaussKrueger, BesselGridRoundTrip) {
    for (const GkReference& r : kGkReference) {
        double e, n, lon, lat;
        BesselToGk(r.longitude, r.latitude, &e, &n);
        GkToBessel(static_cast<int32_t>(std::lround(e)), static_cast<int32_t>(std::lround(n)), &lon,
                   &lat);
        // The compact inverse series and the whole metres hold it to about a metre.
        EXPECT_LT(GroundMetres(lat, lon, r.latitude, r.longitude), 1.0) << r.longitude;
    }
}

// Against PROJ with the same three-parameter shift: the shift itself (its height assumption
// and single-step latitude) limits both directions to about a metre.
TEST(GaussKrueger, AgreesWithProjWithinTheShiftsAccuracy) {
    for (const GkReference& r : kGkReference) {
        SCOPED_TRACE(testing::Message() << r.longitude << " " << r.latitude);
        double e, n;
        Wgs84ToGk(r.longitude, r.latitude, &e, &n);
        EXPECT_LT(std::hypot(e - r.easting, n - r.northing), 1.0);
        double lon, lat;
        GkToWgs84(r.eastingInt, r.northingInt, &lon, &lat);
        EXPECT_LT(GroundMetres(lat, lon, r.backLatitude, r.backLongitude), 1.0);
    }
}

TEST(GaussKrueger, ShiftKeepsTheQuadrantWestOfMinus90) {
    double lon, lat;
    BesselToWgs84(-120.0, 40.0, &lon, &lat);
    EXPECT_NEAR(lon, -120.0, 0.01);
    Wgs84ToBessel(-120.0, 40.0, &lon, &lat);
    EXPECT_NEAR(lon, -120.0, 0.01);
    EXPECT_NEAR(lat, 40.0, 0.01);
}

} // namespace
