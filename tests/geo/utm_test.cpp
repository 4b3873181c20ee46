#include "geo/utm.h"

#include "geo/angles.h"

#include <gtest/gtest.h>

#include "tests/geo/geo_reference.h"

#include <cmath>
#include <cstring>

namespace {

TEST(Utm, ZonesBandsAndFalseOrigins) {
    const struct {
        double lat, lon;
        int zone;
        char band;
        double easting, northing; // negative: not checked
    } cases[] = {
        {0, 3, 31, 'N', 500000.5, 0.5},
        {-0.000001, 3, 31, 'M', 500000.5, 9999999.0}, // never reaches 10000000
        {0, 181, 1, 'N', -1, -1},                     // converts as -179
        {0, -6, 29, 'N', -1, -1},                     // a border west of Greenwich goes west
        {0, -5.9, 30, 'N', -1, -1},
        {0, 180, 60, 'N', -1, -1}, // not zone 61
        {0, -180, 1, 'N', -1, -1}, // not zone 0
        {80, 10, 32, 'X', -1, -1},
        {72, 10, 32, 'X', -1, -1},
        {71.9, 10, 32, 'W', -1, -1},
        {84, 10, 32, '*', -1, -1},
        {-80, 10, 32, 'C', -1, -1},
        {-80.1, 10, 32, '*', -1, -1},
        {56, 10, 32, 'V', -1, -1},
        {-0.1, 10, 32, 'M', -1, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.lat << " " << c.lon);
        cUTM utm(c.lat, c.lon);
        EXPECT_EQ(utm.zone, c.zone);
        EXPECT_EQ(utm.band, c.band);
        if (c.easting >= 0) {
            EXPECT_NEAR(utm.easting, c.easting, 1e-6);
            EXPECT_NEAR(utm.northing, c.northing, 1e-6);
        }
    }
    cUTM wrapped(0.0, 181.0);
    EXPECT_DOUBLE_EQ(wrapped.longitude, -179.0);
}

TEST(Utm, RequestedZoneSetsTheCentralMeridian) {
    // 11.575 E in zone 33 (central meridian 15) lies west of the false easting.
    cUTM own(static_cast<int32_t>(48.137 * kDegreesToAngle),
             static_cast<int32_t>(11.575 * kDegreesToAngle));
    cUTM forced(static_cast<int32_t>(48.137 * kDegreesToAngle),
                static_cast<int32_t>(11.575 * kDegreesToAngle), 33);
    EXPECT_EQ(own.zone, 32);
    EXPECT_EQ(forced.zone, 33);
    EXPECT_EQ(forced.band, 'U');
    EXPECT_LT(forced.easting, 500000.0);
    EXPECT_GT(own.easting, 500000.0);
    // Far outside its zone it still converts, in that zone's grid.
    cUTM far(0, static_cast<int32_t>(100.0 * kDegreesToAngle), 32);
    EXPECT_EQ(far.zone, 32);
    EXPECT_TRUE(std::isfinite(far.easting));
}

// The conversions round to the nearest metre by adding half a metre before callers truncate.
// Within 1.2 degrees of the central meridian the series hold to a millimetre.
TEST(Utm, AgreesWithGeographicLibWithinAMillimetreInsideZones) {
    for (const UtmReference& r : kUtmInterior) {
        SCOPED_TRACE(testing::Message() << r.latitude << " " << r.longitude);
        cUTM utm(r.latitude, r.longitude);
        EXPECT_EQ(utm.zone, r.zone);
        EXPECT_NEAR(utm.easting - 0.5, r.easting, 0.001);
        if (r.northing < 9999999.0) {
            EXPECT_NEAR(utm.northing - 0.5, r.northing, 0.001);
        }
    }
}

TEST(Utm, NearZoneEdgesTheSeriesHoldsToADecimetre) {
    for (const UtmReference& r : kUtmEdges) {
        SCOPED_TRACE(testing::Message() << r.latitude << " " << r.longitude);
        cUTM utm(r.latitude, r.longitude);
        EXPECT_EQ(utm.zone, r.zone);
        EXPECT_NEAR(utm.easting - 0.5, r.easting, 0.15);
        EXPECT_NEAR(utm.northing - 0.5, r.northing, 0.02);
    }
}

TEST(Utm, GridToPositionAgreesAndRoundTripsWithinAMillimetre) {
    for (const UtmReference& r : kUtmInterior) {
        SCOPED_TRACE(testing::Message() << r.latitude << " " << r.longitude);
        cUTM back;
        back.zone = static_cast<uint8_t>(r.zone);
        back.band = cUTM::GetBand(r.latitude == 0 ? 0 : r.latitude);
        back.easting = r.easting;
        back.northing = r.northing;
        back.UtmToLatLon();
        EXPECT_LT(GroundMetres(back.latitude, back.longitude, r.latitude, r.longitude), 0.001);

        cUTM there(r.latitude, r.longitude);
        cUTM trip;
        trip.zone = there.zone;
        trip.band = there.band;
        trip.easting = there.easting - 0.5; // the half metres added for rounding
        trip.northing = there.northing - 0.5;
        trip.UtmToLatLon();
        EXPECT_LT(GroundMetres(trip.latitude, trip.longitude, r.latitude, r.longitude), 0.001);
    }
}

TEST(Utm, SetUtmFindsTheHemisphereFromTheBand) {
    cUTM utm;
    utm.SetUtm(334436, 56, 6250816, 'H');
    EXPECT_NEAR(utm.latitude, -33.87, 1e-4);
    EXPECT_NEAR(utm.longitude, 151.21, 1e-4);
    EXPECT_EQ(utm.band, 'H');
    utm.SetUtm(334436, 56, 6250816, 'h'); // lower case counts too
    EXPECT_LT(utm.latitude, 0.0);
    utm.SetUtm(691567, 32, 5334734, 'U');
    EXPECT_NEAR(utm.latitude, 48.137, 1e-4);
}

TEST(Utm, TextFitsItsBufferForAnyValue) {
    cUTM utm(48.137, 11.575);
    EXPECT_STREQ(utm.GetText(), "32U 691568,5334735"); // 2 cm east of the exact value
    utm.easting = 1e300;
    utm.northing = -1e300;
    const char* text = utm.GetText();
    EXPECT_LT(std::strlen(text), sizeof utm.text);
}

TEST(Ellipsoid, Wgs84Constants) {
    cEllipsoid e;
    EXPECT_DOUBLE_EQ(e.SemiMajorAxis(), 6378137.0);
    EXPECT_NEAR(e.SemiMinorAxis(), 6356752.314245, 1e-6);
    EXPECT_NEAR(e.EccentricitySquared(), 0.00669437999014, 1e-14);
    EXPECT_NEAR(e.SecondEccentricitySquared(), 0.00673949674228, 1e-14);
    EXPECT_EQ(e.ZeroValue(), 0.0);
}

} // namespace
