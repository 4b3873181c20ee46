#include "geo/units.h"

#include "geo/angles.h"
#include "geo_test_options.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cwchar>

namespace {

TrackPoint At(double lonDegrees, double latDegrees) {
    TrackPoint p{};
    p.longitude = static_cast<int32_t>(lonDegrees * kDegreesToAngle);
    p.latitude = static_cast<int32_t>(latDegrees * kDegreesToAngle);
    return p;
}

TEST(Distance, FlatAndGreatCircleAgreeOnShortDistancesAndZeroForOnePoint) {
    const TrackPoint a = At(11.0, 48.0), b = At(11.01, 48.01);
    EXPECT_EQ(DistanceFlat(a, a), 0.0);
    EXPECT_EQ(DistanceGreatCircle(a, a), 0.0);
    // 0.01 degree of latitude on the 6378137 m sphere is 1113.2 m.
    const TrackPoint north = At(11.0, 48.01);
    EXPECT_NEAR(DistanceFlat(a, north), 1113.19, 0.1);
    EXPECT_NEAR(DistanceFlat(a, b), DistanceGreatCircle(a, b), 0.5);
}

TEST(Distance, FlatWrapsTheLongitudeAcrossTheDateLine) {
    const TrackPoint west = At(179.99, 0.0), east = At(-179.99, 0.0);
    EXPECT_NEAR(DistanceFlat(west, east), 2226.4, 0.1);
    EXPECT_NEAR(DistanceFlat(east, west), 2226.4, 0.1);
}

TEST(Distance, ModeStaysOnTheGreatCircleUntilAShortDistance) {
    ResetDistanceMode();
    const TrackPoint origin = At(10.0, 0.0);
    const TrackPoint far = At(10.0 + 150000.0 / 111319.49, 0.0);
    const TrackPoint near99 = At(10.0 + 99000.0 / 111319.49, 0.0);
    // At the equator both formulas agree, so use a north-south pair where they differ.
    const TrackPoint a = At(0.0, 60.0), b = At(1.2, 60.3);
    EXPECT_NEAR(DistanceMetres(origin, far), DistanceGreatCircle(origin, far), 1e-9);
    EXPECT_NEAR(DistanceMetres(origin, near99), DistanceFlat(origin, near99), 1e-9);
    // The mode went back to flat: a short pair now gives the flat value without the detour.
    EXPECT_EQ(DistanceMetres(a, b), DistanceFlat(a, b));
    EXPECT_NE(DistanceFlat(a, b), DistanceGreatCircle(a, b));
    ResetDistanceMode();
}

struct UnitCase {
    uint32_t cfg1;
    const wchar_t* speed;
    const wchar_t* altitude;
    const wchar_t* distance;
    const wchar_t* delta;
};

TEST(UnitText, EachSystemHasItsUnits) {
    const UnitCase cases[] = {
        {0, L"km/h", L"m", L"km", L"\u0394km"},
        {0x4000, L"mph", L"ft", L"mi", L"\u0394mi"},
        {0x8000, L"kn", L"ft", L"nm", L"\u0394nm"},
        {0xC000, L"kn", L"ft", L"nm", L"\u0394nm"},
        {0xFFFF3FFF, L"km/h", L"m", L"km", L"\u0394km"}, // other bits do not matter
    };
    for (const UnitCase& c : cases) {
        GeoOptionsScope options(c.cfg1);
        SCOPED_TRACE(c.cfg1);
        EXPECT_STREQ(SpeedUnitText(), c.speed);
        EXPECT_STREQ(AltitudeUnitText(), c.altitude);
        EXPECT_STREQ(DistanceUnitText(), c.distance);
        EXPECT_STREQ(DeltaDistanceUnitText(), c.delta);
    }
}

struct TextCase {
    uint32_t cfg1;
    const wchar_t* format;
    double value;
    const wchar_t* expected;
};

TEST(UnitText, SpeedAltitudeAndDistanceTexts) {
    const TextCase speeds[] = {
        {0, L"%.1f", 1234, L"123.4"},
        {0, L"u %.1f,", 1000, L"km/h 100.0,"},
        {0x8000, L"u %.1f,", 1000, L"kn 54.0,"},
        {0x4000, L"%.1f u", 1000, L"62.2 mph"}, // 1/1609, not 1/1609.344
        {0, L"%.0f", 0, L"0"},
    };
    for (const TextCase& c : speeds) {
        GeoOptionsScope options(c.cfg1);
        wchar_t text[40];
        SpeedText(text, 40, c.format, static_cast<int>(c.value));
        EXPECT_STREQ(text, c.expected) << c.format;
    }
    const TextCase distances[] = {
        {0, L"%.1fuu", 0, L"0.0km"},
        {0, L"%.1fuu", 1234, L"1.2km"},
        {0, L"%.3lfuu", 1234, L"1.234km"},
        {0, L" %.3f uu ", 999.6, L" 1.000 km "},
        {0x4000, L"%.1fuu", 1609.344, L"1.0mi"},
        {0x8000, L"%.2fuu", 1852, L"1.00nm"},
        {0, L"%.1fu", 1000, L"1.0km"}, // a single placeholder letter at the end
    };
    for (const TextCase& c : distances) {
        GeoOptionsScope options(c.cfg1);
        wchar_t text[40];
        DistanceText(text, 40, c.format, c.value);
        EXPECT_STREQ(text, c.expected) << c.format;
    }
    const TextCase altitudes[] = {
        {0, nullptr, 100, L"100m"},
        {0x4000, nullptr, 100, L"333ft"},
        {0x8000, nullptr, -100, L"-333ft"},
    };
    for (const TextCase& c : altitudes) {
        GeoOptionsScope options(c.cfg1);
        wchar_t text[40];
        AltitudeText(text, 40, static_cast<int>(c.value));
        EXPECT_STREQ(text, c.expected);
    }
}

TEST(UnitText, LongTextsAreCutAtTheBuffer) {
    GeoOptionsScope options(0);
    wchar_t text[8];
    wmemset(text, L'#', 8);
    SpeedText(text, 6, L"speed u %.3f and more", 1234);
    EXPECT_EQ(wcslen(text), 5u);
    EXPECT_EQ(text[6], L'#');
    DistanceText(text, 6, L"%.3f uu of the way", 1e12);
    EXPECT_EQ(wcslen(text), 5u);
    EXPECT_EQ(text[6], L'#');
}

} // namespace
