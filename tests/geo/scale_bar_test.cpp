#include "geo/scale_bar.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

TEST(ScaleBar, NiceScaleNumberIsTheNextRoundValue) {
    const struct {
        float x, nice;
    } cases[] = {{3, 4},       {7.5f, 7.5f},    {8, 10},      {1, 1},     {120, 200},
                 {1500, 2000}, {1250, 2000},    {2600, 4000}, {600, 750}, {0.3f, 1},
                 {4.5f, 5},    {99999, 100000}, {0, 0},       {-5, 0}};
    for (const auto& c : cases)
        EXPECT_FLOAT_EQ(NiceScaleNumber(c.x), c.nice) << c.x;
}

struct LabelCase {
    int (*label)(int*, float, wchar_t*, size_t);
    float metres;
    int pixels, expectedPixels;
    const wchar_t* text;
};

TEST(ScaleBar, LabelsAndRescaledBarLengths) {
    const LabelCase cases[] = {
        {DistanceTextKm, 1500, 300, 400, L"2km"},
        {DistanceTextKm, 1250, 100, 160, L"2km"},
        {DistanceTextKm, 2600, 130, 200, L"4km"},
        {DistanceTextKm, 600, 80, 100, L"750m"},
        {DistanceTextKm, 2200, 88, 100, L"2.5km"},
        {DistanceTextKm, 7000, 70, 75, L"7.5km"},
        // 1000 m are 621.37 thousandths of a mile: below a mile, so feet (3280.8 -> 4000).
        {DistanceTextMi, 1000, 100, 121, L"4000ft"},
        {DistanceTextMi, 2000, 100, 160, L"2mi"}, // 1.243 mi -> 2 mi
        {DistanceTextMi, 3500, 100, 114, L"2.5mi"},
        {DistanceTextNm, 1000, 100, 121, L"4000ft"}, // 3280.8 ft
        {DistanceTextNm, 3000, 100, 123, L"2nm"},
        {DistanceTextNm, 4000, 100, 115, L"2.5nm"},
    };
    for (const LabelCase& c : cases) {
        int pixels = c.pixels;
        wchar_t text[16];
        c.label(&pixels, c.metres, text, 16);
        EXPECT_STREQ(text, c.text) << c.metres;
        EXPECT_EQ(pixels, c.expectedPixels) << c.metres;
    }
}

TEST(ScaleBar, ZeroDistanceGivesNoCrashAndAShortText) {
    int pixels = 100;
    wchar_t text[4];
    DistanceTextKm(&pixels, 0.0f, text, 4);
    EXPECT_EQ(pixels, 0);
    EXPECT_STREQ(text, L"0m");
}

TEST(AxisTicks, RangesWidenToRoundLimits) {
    const struct {
        int lo, hi;
        int expectLo, expectHi, count;
    } cases[] = {
        {0, 97, 0, 100, 5},          // 97/10 = 9.7 > 8: span 100
        {3, 57, 0, 60, 3},           // 5.4 > 5: span 60 in 3 ticks
        {-37, 420, -100, 500, 3},    // lo drops to a multiple of the tick; the wider span counts 3
        {250, 380, 250, 400, 3},     // 1.3 > 1.2: span 150, tick 50
        {1000, 1000, 1000, 1000, 5}, // empty range
        {500, 100, 500, 100, 5},     // inverted range is left alone
        {7, 8, 7, 8, 5},             // tick below 1
    };
    for (const auto& c : cases) {
        int lo = c.lo, hi = c.hi, count = 0;
        AxisTickLayout(&lo, &hi, &count);
        EXPECT_EQ(lo, c.expectLo) << c.lo << ".." << c.hi;
        EXPECT_EQ(hi, c.expectHi) << c.lo << ".." << c.hi;
        EXPECT_EQ(count, c.count) << c.lo << ".." << c.hi;
    }
}

TEST(AxisTicks, ScaledRangesAndNoDataMarks) {
    const struct {
        int lo, hi, k;
        int expectLo, expectHi;
    } cases[] = {
        {0, 970, 10, 0, 1000},          // 97 units -> 100
        {15, 330, 10, 0, 400},          // 31.5 -> 40 units; lo drops to a multiple of 40
        {5, 5, 10, 5, 5},               // empty
        {INT_MAX, 20, 10, INT_MAX, 20}, // no data
        {50, 10, 10, 50, 10},           // inverted
        {0, 100, 0, 0, 100},            // no divisor
    };
    for (const auto& c : cases) {
        int lo = c.lo, hi = c.hi;
        AxisTickLayoutScaled(&lo, &hi, c.k);
        EXPECT_EQ(lo, c.expectLo) << c.lo << ".." << c.hi;
        EXPECT_EQ(hi, c.expectHi) << c.lo << ".." << c.hi;
    }
}

} // namespace
