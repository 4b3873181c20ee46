#include "geo/lambert_azimuthal_projection.h"
#include "geo/lambert_conformal_projection.h"
#include "geo/mercator_projection.h"
#include "geo/osm_projection.h"
#include "geo/transverse_mercator_projection.h"
#include "geo/utm_projection.h"
#include "geo/wgs84_projection.h"

#include "ref_point_list.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {

int32_t Deg(double degrees) {
    return static_cast<int32_t>(degrees * kDegreesToAngle);
}

// Pixels of the whole picture go to positions and back to the same pixel (truncation may
// cost one pixel).
void ExpectPixelRoundTrip(const Projection& projection, int width, int height) {
    for (int y = 0; y <= height; y += height / 4) {
        for (int x = 0; x <= width; x += width / 4) {
            const TrackPoint geo = projection.PixelToGeo(x, y);
            const PixelPoint back = projection.GeoToPixel(geo);
            EXPECT_LE(std::abs(back.x - x), 1) << projection.name << " " << x << "," << y;
            EXPECT_LE(std::abs(back.y - y), 1) << projection.name << " " << x << "," << y;
        }
    }
}

// The points the fit used (the first `count`) map back to their own pixels.
void ExpectRefPointsMapToThemselves(const Projection& projection, int count = 3) {
    int i = 0;
    for (const RefPoint* p = projection.refPoints; p && i < count; p = p->next, ++i) {
        const PixelPoint pixel = projection.GeoToPixel(Position(p->longitude, p->latitude));
        EXPECT_LE(std::abs(pixel.x - p->x), 1) << projection.name;
        EXPECT_LE(std::abs(pixel.y - p->y), 1) << projection.name;
    }
}

std::vector<int32_t> WrittenWords(const Projection& projection) {
    FILE* file = tmpfile();
    EXPECT_NE(file, nullptr);
    EXPECT_TRUE(projection.WriteParams(file));
    const long size = ftell(file);
    rewind(file);
    std::vector<unsigned char> bytes(static_cast<size_t>(size));
    EXPECT_EQ(fread(bytes.data(), 1, bytes.size(), file), bytes.size());
    fclose(file);
    std::vector<int32_t> words;
    for (size_t i = 0; i + 4 <= bytes.size(); i += 4)
        words.push_back(static_cast<int32_t>(bytes[i] | bytes[i + 1] << 8 | bytes[i + 2] << 16 |
                                             static_cast<uint32_t>(bytes[i + 3]) << 24));
    return words;
}

// A north-up picture of 1000 x 800 pixels over 10..12 E, 47..48 N (y counts upward).
const std::initializer_list<RefSpec> kAlpsRefs = {{100, 100, 10.2, 47.1},
                                                  {900, 700, 11.8, 47.9},
                                                  {850, 150, 11.7, 47.15},
                                                  {150, 650, 10.3, 47.8}};

TEST(Projection, AffineClassesRoundTripAndWriteTheirParameters) {
    struct Case {
        std::unique_ptr<Projection> projection;
        std::vector<int32_t> params; // the words before the reference points
    };
    Case cases[4];
    cases[0] = {std::make_unique<LambertAzimuthalProjection>(Deg(11), Deg(47.5)),
                {-259, 2, 8, Deg(11), Deg(47.5), -260, 1, -261, 0}};
    cases[1] = {std::make_unique<LambertConformalProjection>(Deg(11), Deg(47), Deg(46), Deg(49)),
                {-259, 3, 16, Deg(11), Deg(47), Deg(46), Deg(49), -260, 1, -261, 0}};
    cases[2] = {std::make_unique<TransverseMercatorProjection>(Deg(11), Deg(0)),
                {-259, 5, 8, Deg(11), 0, -260, 1, -261, 0}};
    // Equal standard parallels: the one-parallel cone.
    cases[3] = {
        std::make_unique<LambertConformalProjection>(Deg(11), Deg(47), Deg(47.5), Deg(47.5)),
        {-259, 3, 16, Deg(11), Deg(47), Deg(47.5), Deg(47.5), -260, 1, -261, 0}};
    for (Case& c : cases) {
        Projection& p = *c.projection;
        ProjectionRefs refs(p, kAlpsRefs);
        ASSERT_EQ(p.Setup(1000, 800), 1) << p.name;
        ExpectRefPointsMapToThemselves(p);
        ExpectPixelRoundTrip(p, 1000, 800);
        EXPECT_GT(p.scale, 0.0) << p.name; // metres per pixel: about 150 m across 1000 px
        EXPECT_NEAR(p.scale, 0.8 * 111320.0 * 1.0 / 600.0, 25.0) << p.name;

        std::vector<int32_t> expected = c.params;
        for (const RefPoint* r = p.refPoints; r; r = r->next)
            expected.insert(expected.end(), {-258, r->x, r->y, r->longitude, r->latitude});
        EXPECT_EQ(WrittenWords(p), expected) << p.name;
    }
}

TEST(Projection, MercatorCornerFitAndReaderSuppliedTransforms) {
    MercatorProjection corner(0, Deg(47), 1);
    // Given in scrambled order; the fit puts the corner points first: (0,0), (w,h), (w,0), (0,h).
    ProjectionRefs refs(corner,
                        {{1000, 0, 12, 47}, {0, 800, 10, 48}, {0, 0, 10, 47}, {1000, 800, 12, 48}});
    ASSERT_EQ(corner.Setup(1000, 800), 1);
    EXPECT_EQ(corner.GetRefPointPixel(0).x, 0);
    EXPECT_EQ(corner.GetRefPointPixel(1).x, 1000);
    EXPECT_EQ(corner.GetRefPointPixel(1).y, 800);
    EXPECT_EQ(corner.GetRefPointPixel(2).y, 0);
    EXPECT_EQ(corner.GetRefPointPixel(3).x, 0);
    ExpectRefPointsMapToThemselves(corner);
    ExpectPixelRoundTrip(corner, 1000, 800);
    EXPECT_EQ(corner.gridToPixel[1], 0.0);
    EXPECT_EQ(corner.gridToPixel[2], 0.0);
    const std::vector<int32_t> words = WrittenWords(corner);
    const std::vector<int32_t> head(words.begin(), words.begin() + 9);
    EXPECT_EQ(head, (std::vector<int32_t>{-259, 7, 8, 0, Deg(47), -260, 1, -261, 0}));

    // Without the flag the reader's transforms stay as they are; Setup takes the base points.
    MercatorProjection plain(Deg(11), 0, 0);
    ProjectionRefs plainRefs(plain, {{0, 0, 10, 47}, {1000, 800, 12, 48}});
    std::memcpy(plain.gridToPixel, corner.gridToPixel, sizeof plain.gridToPixel);
    std::memcpy(plain.pixelToGrid, corner.pixelToGrid, sizeof plain.pixelToGrid);
    ASSERT_EQ(plain.Setup(1000, 800), 1);
    EXPECT_EQ(plain.gridToPixel[0], corner.gridToPixel[0]);
    EXPECT_EQ(WrittenWords(plain)[1], 4);
}

TEST(Projection, UtmTwoPointSimilarity) {
    UtmProjection utm;
    ProjectionRefs refs(utm, {{100, 100, 11.2, 47.3}, {900, 700, 11.6, 47.7}});
    ASSERT_EQ(utm.Setup(1000, 800), 1);
    EXPECT_EQ(utm.paramBlock->extra[0], 32);
    EXPECT_EQ(utm.paramBlock->extra[1], 'T');
    EXPECT_GT(utm.scale, 30.0);
    ExpectRefPointsMapToThemselves(utm);
    ExpectPixelRoundTrip(utm, 1000, 800);
    const TrackPoint geo = utm.PixelToGeo(500, 400);
    EXPECT_EQ(geo.utmZone, 32);
    EXPECT_EQ(geo.utmBand, 'N');
    EXPECT_NE(geo.utmEasting, 0);
    // A position that carries its UTM values in its own zone uses them as they are.
    TrackPoint cached = geo;
    cached.longitude = 0;
    EXPECT_EQ(utm.GeoToPixel(cached).x, utm.GeoToPixel(geo).x);
    // Hundredths of a pixel count from the first parameter point's pixel.
    const PixelPoint fine = utm.GeoToPixel(geo, true);
    EXPECT_NEAR(fine.x, 100 + 100 * (500 - 100), 100);
    EXPECT_NEAR(fine.y, 100 + 100 * (400 - 100), 100);
    const TrackPoint fineBack = utm.PixelToGeo(fine.x, fine.y, true);
    EXPECT_NEAR(fineBack.longitude, geo.longitude, 50);
    EXPECT_NEAR(fineBack.latitude, geo.latitude, 50);
    EXPECT_EQ(utm.WriteParams(nullptr), utm.refPoints == nullptr); // no file, no write
}

TEST(Projection, UtmSouthAndAcrossTheEquator) {
    const struct {
        double lon1, lat1, lon2, lat2;
    } cases[] = {{151.1, -33.95, 151.3, -33.8}, {9.8, -0.2, 10.2, 0.2}};
    for (const auto& c : cases) {
        UtmProjection utm;
        ProjectionRefs refs(utm, {{100, 100, c.lon1, c.lat1}, {900, 700, c.lon2, c.lat2}});
        ASSERT_EQ(utm.Setup(1000, 800), 1) << c.lat1;
        ExpectRefPointsMapToThemselves(utm, 2);
        ExpectPixelRoundTrip(utm, 1000, 800);
    }
}

TEST(Projection, UtmSetupNeedsNeighbouringZones) {
    const struct {
        double lon2;
        int result;
    } cases[] = {{15.5, 1}, {21.5, 0}}; // zone 33 is taken into zone 32, zone 34 is too far
    for (const auto& c : cases) {
        UtmProjection utm;
        ProjectionRefs refs(utm, {{100, 100, 11.0, 47.0}, {900, 700, c.lon2, 48.0}});
        EXPECT_EQ(utm.Setup(1000, 800), c.result) << c.lon2;
        if (c.result)
            EXPECT_EQ(utm.paramBlock->next->extra[0], 32);
        else
            EXPECT_EQ(utm.GeoToPixel(Position(Deg(11), Deg(47))).x, 0); // uncalibrated
    }
}

TEST(Projection, Wgs84LinearAndUncalibrated) {
    Wgs84Projection wgs;
    EXPECT_EQ(wgs.GeoToPixel(Position(Deg(11), Deg(47))).x, 100);
    EXPECT_EQ(wgs.GeoToPixel(Position(Deg(11), Deg(47))).y, 100);
    EXPECT_EQ(wgs.PixelToGeo(5, 5).longitude, 0);
    ProjectionRefs refs(wgs, {{0, 0, 10, 47}, {1000, 800, 12, 48}, {5, 5, 10.01, 47.01}});
    ASSERT_EQ(wgs.Setup(1000, 800), 1);
    const PixelPoint mid = wgs.GeoToPixel(Position(Deg(11), Deg(47.5)));
    EXPECT_NEAR(mid.x, 500, 1);
    EXPECT_NEAR(mid.y, 400, 1);
    ExpectPixelRoundTrip(wgs, 1000, 800);
    EXPECT_NEAR(wgs.scale, Deg(1) * 0.06378137 / 800, 1e-3);
    const std::vector<int32_t> words = WrittenWords(wgs);
    ASSERT_EQ(words.size(), 15u); // only the reference points
    EXPECT_EQ(words[0], -258);
    EXPECT_EQ(words[10], -258);
    EXPECT_EQ(words[11], 5);

    Wgs84Projection flat;
    ProjectionRefs flatRefs(flat, {{0, 0, 10, 47}, {1000, 0, 12, 48}}); // same row
    EXPECT_EQ(flat.Setup(1000, 800), 0);
    EXPECT_EQ(flat.GeoToPixel(Position(Deg(11), Deg(47))).x, 100);
}

TEST(Projection, OsmAsTheMapViewUsesIt) {
    OsmProjection osm;
    const int zoom = 12;
    const double metres = kOsmMetresPerDegree * 360.0 / (256.0 * (1 << zoom));
    osm.SetScales(metres, -metres);
    ProjectionRefs refs(osm, {{240, 160, 11.575, 48.137}});
    osm.y0merc = MercatorY(osm.refPoints->latitude);
    const PixelPoint centre = osm.GeoToPixel(Position(Deg(11.575), Deg(48.137)));
    EXPECT_EQ(centre.x, 240);
    EXPECT_EQ(centre.y, 160);
    // One tile (256 px) east is 360 / 2^12 degrees.
    const PixelPoint east = osm.GeoToPixel(Position(Deg(11.575 + 360.0 / 4096), Deg(48.137)));
    EXPECT_NEAR(east.x, 240 + 256, 1);
    ExpectPixelRoundTrip(osm, 480, 320);
    // Hundredths of a pixel give the same positions as whole pixels.
    const TrackPoint somewhere = osm.PixelToGeo(300, 100);
    const PixelPoint fine = osm.GeoToPixel(somewhere, true);
    EXPECT_NEAR(fine.x, 240 + 100 * (300 - 240), 100);
    EXPECT_NEAR(fine.y, 160 + 100 * (100 - 160), 100);
    const TrackPoint fineBack = osm.PixelToGeo(fine.x, fine.y, true);
    EXPECT_NEAR(fineBack.latitude, somewhere.latitude, 20);
    EXPECT_NEAR(fineBack.longitude, somewhere.longitude, 20);
    EXPECT_NEAR(osm.GetScale(Deg(60)), metres * 0.5, 1e-6);

    const std::vector<int32_t> words = WrittenWords(osm);
    double scales[2];
    std::memcpy(scales, &words[3], sizeof scales);
    EXPECT_EQ((std::vector<int32_t>(words.begin(), words.begin() + 3)),
              (std::vector<int32_t>{-259, 6, 16}));
    EXPECT_EQ(scales[0], metres);
    EXPECT_EQ(scales[1], -metres);
    EXPECT_EQ((std::vector<int32_t>(words.begin() + 7, words.end())),
              (std::vector<int32_t>{-260, 1, -261, 0, -258, 240, 160, Deg(11.575), Deg(48.137)}));
}

TEST(Projection, OsmSetupFromTwoPoints) {
    OsmProjection osm;
    const double metres = 10.0;
    osm.SetScales(metres, -metres);
    ProjectionRefs refs(osm, {{0, 1000, 11.0, 48.0}, {1000, 0, 12.0, 47.0}});
    ASSERT_EQ(osm.Setup(1000, 1000), 1);
    // The second point becomes the position of its own column at row 0.
    const TrackPoint top = osm.PixelToGeo(1000, 0);
    EXPECT_EQ(osm.refPoints->next->latitude, top.latitude);
    // Ground metres per pixel: the Mercator metres shrink with the cosine of the latitude.
    EXPECT_NEAR(osm.scale, 10.0 * std::cos(48.0 * kDegreesToRadians), 0.05);

    OsmProjection unscaled;
    ProjectionRefs unscaledRefs(unscaled, {{0, 0, 11.0, 48.0}, {10, 10, 12.0, 47.0}});
    EXPECT_EQ(unscaled.Setup(100, 100), 0);
    EXPECT_EQ(unscaled.GeoToPixel(Position(Deg(11), Deg(48))).x, 0);
}

TEST(Projection, TileZoomScales) {
    for (int zoom = 0; zoom <= 21; ++zoom) {
        const int32_t scale = ZoomToScale(zoom);
        EXPECT_EQ(scale, 442368000 / (1 << zoom)) << zoom;
        EXPECT_EQ(ScaleToZoom(scale), zoom) << zoom;
        EXPECT_EQ(ScaleToZoom(scale + 1), zoom == 0 ? 0 : zoom - 1) << zoom;
    }
    EXPECT_EQ(ZoomToScale(21), 210);
    EXPECT_EQ(ScaleToZoom(442368000), 0);
    EXPECT_EQ(ScaleToZoom(1), 21);
    EXPECT_EQ(ScaleToZoom(1e12), 0);
    EXPECT_EQ(ScaleToZoom(0), 21);
    EXPECT_EQ(ZoomToScale(-3), ZoomToScale(0));
    EXPECT_EQ(ZoomToScale(40), ZoomToScale(21));
}

TEST(Projection, AffineLongitudeWrapsAtTheDateLine) {
    LambertAzimuthalProjection laea(Deg(175), Deg(-40));
    ProjectionRefs refs(laea, {{100, 100, 170, -42}, {900, 700, 179, -38}, {800, 150, 178, -41.5}});
    ASSERT_EQ(laea.Setup(1000, 800), 1);
    const PixelPoint westOf = laea.GeoToPixel(Position(Deg(179.5), Deg(-40)));
    const PixelPoint across = laea.GeoToPixel(Position(Deg(-175), Deg(-40)));
    EXPECT_GT(across.x, westOf.x); // drawn east of the date line, not across the world
    EXPECT_LT(across.x, westOf.x + 1000);
}

TEST(Projection, ReferencePointPixels) {
    Wgs84Projection p;
    ProjectionRefs refs(p, {{1, 2, 10, 47}, {3, 4, 11, 48}, {5, 6, 12, 49}});
    EXPECT_EQ(p.GetRefPointPixel(2).x, 5);
    EXPECT_EQ(p.GetRefPointPixel(5).x, -1);
    EXPECT_EQ(p.GetRefPointPixel(5).y, -1);
    EXPECT_EQ(p.RefPointPixel3().y, 6);
    ASSERT_EQ(p.Setup(100, 100), 1);
    EXPECT_EQ(p.ParamPointPixel2().x, 3);
    Wgs84Projection two;
    ProjectionRefs twoRefs(two, {{1, 2, 10, 47}, {3, 4, 11, 48}});
    EXPECT_EQ(two.RefPointPixel3().x, 10);
    EXPECT_EQ(two.RefPointPixel3().y, 10);
}

TEST(Projection, BaseKeepsRotationFlagAndGrid) {
    UtmProjection p;
    p.SetValue64(0.25);
    p.SetFlag(kCalWgs84Utm);
    EXPECT_EQ(p.GetValue64(), 0.25);
    EXPECT_EQ(p.GetFlag(), 4);
    double gx, gy;
    p.Projection::GeoToGrid(1, 2, &gx, &gy);
    EXPECT_EQ(gx, 100.0);
    EXPECT_EQ(gy, 100.0);
    EXPECT_EQ(p.GetScale(Deg(45)), 1.0);
    const GeoPair pair = p.PixelToPoint(1, 2, 3, 4);
    EXPECT_EQ(pair.longitude1, 0); // uncalibrated: zero positions
}

} // namespace
