#include "geo/lambert_conformal_projection.h"
#include "geo/mercator_projection.h"
#include "geo/transverse_mercator_projection.h"
#include "geo/wgs84_projection.h"

#include "ref_point_list.h"
#include "tests/support/ui_recorder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

namespace {

const wchar_t kBadPointsText[] = L"Reference points are located badly!\r\nx(m)=x(n) or y(m)=y(n)";

std::vector<int> PixelXs(const Projection& p) {
    std::vector<int> xs;
    for (const RefPoint* r = p.refPoints; r; r = r->next)
        xs.push_back(r->x);
    return xs;
}

TEST(Calibration, BadlyPlacedPointsAreReportedAndLeaveTheMapUncalibrated) {
    const struct {
        const char* what;
        std::initializer_list<RefSpec> refs;
    } cases[] = {
        {"shared pixel column",
         {{100, 100, 10.2, 47.1}, {100, 700, 11.8, 47.9}, {850, 150, 11.7, 47.15}}},
        {"shared pixel row",
         {{100, 100, 10.2, 47.1}, {900, 100, 11.8, 47.9}, {850, 150, 11.7, 47.15}}},
        {"shared grid x",
         {{100, 100, 10.2, 47.1}, {900, 700, 10.2, 47.9}, {850, 150, 11.7, 47.15}}},
        {"collinear pixels",
         {{100, 100, 10.2, 47.1}, {900, 700, 11.8, 47.9}, {500, 400, 11.7, 47.15}}},
        {"collinear positions",
         {{100, 100, 10.0, 47.0}, {900, 700, 12.0, 48.0}, {850, 150, 11.0, 47.5}}},
        {"two points", {{100, 100, 10.2, 47.1}, {900, 700, 11.8, 47.9}}},
        {"one point", {{100, 100, 10.2, 47.1}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        UiRecorder ui;
        // Mercator grid x is the longitude itself; its Setup leaves the fit to the map reader,
        // so its cases call the fit directly.
        MercatorProjection mercator(0, 0, 0);
        TransverseMercatorProjection tm(static_cast<int32_t>(11 * kDegreesToAngle), 0);
        const bool onMercator = std::strcmp(c.what, "collinear positions") == 0 ||
                                std::strcmp(c.what, "shared grid x") == 0;
        Projection& p =
            onMercator ? static_cast<Projection&>(mercator) : static_cast<Projection&>(tm);
        ProjectionRefs refs(p, c.refs);
        if (std::strcmp(c.what, "collinear positions") == 0) {
            // On one Mercator grid line through the equator: 0.01 rad steps both ways.
            int32_t angles[3][2] = {{0, -1000000}, {2000000, 1000000}, {1000000, 0}};
            RefPoint* r = p.refPoints;
            for (auto& a : angles) {
                r->longitude = a[0];
                r->latitude = a[1];
                r = r->next;
            }
        }
        const int result = &p == &mercator ? p.Projection::Calibrate() : p.Setup(1000, 800);
        EXPECT_EQ(result, 0);
        ASSERT_EQ(ui.count(), 1u);
        EXPECT_EQ(ui.last().text, kBadPointsText);
        EXPECT_EQ(ui.last().caption, L"Grid");
        for (double a : p.gridToPixel)
            EXPECT_FALSE(std::isnan(a));
        const PixelPoint pixel = p.GeoToPixel(Position(1000, 1000));
        EXPECT_EQ(pixel.x, 0);
        EXPECT_EQ(p.PixelToGeo(10, 10).longitude, 0);
    }
}

// Points near the corners (exact corners share rows and columns, which the fit refuses).
TEST(Calibration, FittedPointsMapBackToTheirPixels) {
    LambertConformalProjection lcc(
        static_cast<int32_t>(11 * kDegreesToAngle), static_cast<int32_t>(47 * kDegreesToAngle),
        static_cast<int32_t>(46 * kDegreesToAngle), static_cast<int32_t>(49 * kDegreesToAngle));
    ProjectionRefs refs(lcc, {{0, 0, 10, 47}, {1000, 800, 12.02, 48.01}, {995, 3, 12.01, 46.98}});
    ASSERT_EQ(lcc.Calibrate(), 1);
    for (const RefPoint* r = lcc.refPoints; r; r = r->next) {
        double gx, gy;
        lcc.GeoToGrid(r->longitude, r->latitude, &gx, &gy);
        const double* a = lcc.gridToPixel;
        EXPECT_NEAR(a[0] * gx + a[1] * gy + a[4], r->x, 1e-6);
        EXPECT_NEAR(a[2] * gx + a[3] * gy + a[5], r->y, 1e-6);
        const double* b = lcc.pixelToGrid;
        EXPECT_NEAR((b[0] * r->x + b[1] * r->y + b[4]) * 1e-8, gx, 1e-12);
        EXPECT_NEAR((b[2] * r->x + b[3] * r->y + b[5]) * 1e-8, gy, 1e-12);
    }
}

TEST(Calibration, ConsistentPairsAndBasePointChoice) {
    EXPECT_TRUE(CalibrationPointsConsistent(10, 10, 100, 100, 0, 0, 50, 50));
    EXPECT_FALSE(CalibrationPointsConsistent(10, 10, 100, 100, 0, 20, 50, 50)); // y disagrees
    EXPECT_FALSE(CalibrationPointsConsistent(10, 10, 100, 100, 10, 0, 50, 50)); // same column

    const struct {
        std::initializer_list<RefSpec> refs;
        std::vector<int> order; // pixel x of the points afterwards
    } cases[] = {
        // P1, P2 agree: kept.
        {{{1, 1, 10, 47}, {2, 2, 11, 48}, {3, 9, 12, 46}}, {1, 2, 3}},
        // P1, P2 disagree, P3 and P2 agree: P3, P2, P1.
        {{{1, 9, 10, 47}, {2, 2, 11, 48}, {3, 3, 12, 49}, {4, 4, 13, 50}}, {3, 2, 1, 4}},
        // Neither: P2, P1, P3.
        {{{1, 9, 10, 47}, {2, 2, 11, 48}, {3, 9, 12, 46}}, {2, 1, 3}},
    };
    for (const auto& c : cases) {
        Wgs84Projection p;
        ProjectionRefs refs(p, c.refs);
        EXPECT_EQ(ChooseBasePoints(&p), 1);
        EXPECT_EQ(PixelXs(p), c.order);
    }
    Wgs84Projection two;
    ProjectionRefs twoRefs(two, {{1, 9, 10, 47}, {2, 2, 11, 48}});
    EXPECT_EQ(ChooseBasePoints(&two), 0);
    EXPECT_EQ(PixelXs(two), (std::vector<int>{1, 2}));
}

TEST(Calibration, SortingByDistanceDropsDuplicates) {
    Wgs84Projection p;
    ProjectionRefs refs(p, {{500, 500, 10, 47},
                            {900, 900, 11, 48},
                            {900, 900, 11, 48},
                            {10, 10, 12, 49},
                            {900, 10, 13, 50}});
    SortRefPointsByDistance(&p, 0, 0, 0);
    EXPECT_EQ(p.RefPointCount(), 4);
    EXPECT_EQ(p.GetRefPointPixel(0).x, 10);
    SortRefPointsByDistance(&p, 1, 1000, 0);
    EXPECT_EQ(p.GetRefPointPixel(0).x, 10); // positions before the start stay
    EXPECT_EQ(p.GetRefPointPixel(1).x, 900);
    EXPECT_EQ(p.GetRefPointPixel(1).y, 10);

    RefPoint a, b;
    a.x = 0;
    b.x = 10;
    a.next = &b;
    EXPECT_TRUE(RefPointNearer(9, 0, &a));
    EXPECT_FALSE(RefPointNearer(1, 0, &a));
    EXPECT_FALSE(RefPointNearer(1, 0, &b)); // no successor
}

TEST(Calibration, FitGridPicksThreeSpreadPoints) {
    const struct {
        const char* what;
        int width, height;
        std::initializer_list<RefSpec> refs;
        int result;
        std::vector<int> order;
    } cases[] = {
        // Cells: centre (4), corner 0 (class A 0), cell 5 (A 0), cell 7 (A 0).
        {"spread",
         900,
         900,
         {{450, 450, 1, 1}, {10, 10, 2, 2}, {850, 450, 3, 3}, {450, 850, 4, 4}},
         1,
         {10, 850, 450, 450}},
        // The first candidate (cell 5) finds no partners; the next one (cell 1, class 2) takes
        // cell 5 from before it (table B) and cell 6 (table A).
        {"order of the walk",
         900,
         900,
         {{850, 450, 1, 1}, {450, 10, 2, 2}, {10, 850, 3, 3}, {850, 850, 4, 4}},
         1,
         {450, 850, 10, 850}},
        {"all in the centre",
         900,
         900,
         {{450, 450, 1, 1}, {460, 460, 2, 2}, {470, 470, 3, 3}},
         0,
         {450, 460, 470}},
        {"outside the picture",
         900,
         900,
         {{-10, 10, 1, 1}, {10, 1000, 2, 2}, {850, 450, 3, 3}},
         0,
         {-10, 10, 850}},
        {"empty picture",
         0,
         0,
         {{10, 10, 1, 1}, {850, 450, 2, 2}, {450, 850, 3, 3}},
         0,
         {10, 850, 450}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Wgs84Projection p;
        ProjectionRefs refs(p, c.refs);
        EXPECT_EQ(p.FitGrid(c.width, c.height), c.result);
        EXPECT_EQ(PixelXs(p), c.order);
    }
}

} // namespace

namespace {

TEST(Calibration, CornerFitWithPointsOnOneRowIsReported) {
    UiRecorder ui;
    MercatorProjection corner(0, 0, 1);
    ProjectionRefs refs(corner, {{0, 0, 10, 47}, {1000, 0, 12, 48}});
    EXPECT_EQ(corner.Setup(1000, 800), 0);
    ASSERT_EQ(ui.count(), 1u);
    EXPECT_EQ(ui.last().text, kBadPointsText);
    for (double a : corner.gridToPixel)
        EXPECT_EQ(a, 0.0);
    EXPECT_EQ(corner.PixelToGeo(500, 400).latitude, 0);
}

} // namespace
