#include "geo/projection_factory.h"

#include "geo/lambert_conformal_projection.h"
#include "geo/mercator_projection.h"
#include "geo/osm_projection.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace {

TEST(ProjectionFactory, NameTableFirstMatchWins) {
    const struct {
        const char* name;
        const char* expected; // class name text, null: the old projection stays
    } cases[] = {
        {"OSM", "OSM"},
        {"osm tiles", "OSM"},
        {"Lambert Azimuthual Equal Area", "Lambert Azimuthual Equal Area"},
        {"Lambert Conformal Conic (2SP)", "Lambert Conformal Conic"},
        {"WGS84", "WGS84"},
        {"(UTM) Universal Transverse Mercator", "UTM"},
        {"utm", "UTM"},
        {"transverse mercator", "Transverse Mercator"},
        {"Mercator 1SP", "Mercator"},
        {"Polyconic", nullptr},
        {"", nullptr},
        {"Lambert Azimuthal Equal Area", nullptr}, // only the key as files spell it
    };
    for (const auto& c : cases) {
        Projection* projection = new OsmProjection;
        const bool replaced = CreateProjection(projection, c.name, "");
        ASSERT_NE(projection, nullptr);
        EXPECT_EQ(replaced, c.expected != nullptr) << c.name;
        EXPECT_STREQ(projection->name, c.expected ? c.expected : "OSM") << c.name;
        EXPECT_STREQ(projection->datum, "WGS84");
        delete projection;
    }
}

TEST(ProjectionFactory, HandsOverReferencePointsAndTileScales) {
    RefPoint second;
    second.x = 7;
    RefPoint first;
    first.next = &second;
    auto* old = new OsmProjection;
    old->SetRefPoints(&first);
    old->SetScales(2.5, -2.5);
    Projection* projection = old;
    ASSERT_TRUE(CreateProjection(projection, "Lambert Conformal Conic", "45,3,44,46"));
    EXPECT_EQ(projection->refPoints, &first);
    EXPECT_EQ(projection->sinRot, 2.5);
    EXPECT_EQ(projection->cosRot, -2.5);
    ASSERT_TRUE(CreateProjection(projection, "Mercator", "10"));
    EXPECT_EQ(projection->refPoints, &first);
    EXPECT_EQ(projection->sinRot, 0.0); // only the first three kinds keep them
    delete projection;

    Projection* none = nullptr;
    ASSERT_TRUE(CreateProjection(none, "UTM", nullptr));
    EXPECT_EQ(none->refPoints, nullptr);
    delete none;
}

TEST(ProjectionFactory, ParameterText) {
    const struct {
        const char* text;
        double p[4];
        int count;
    } cases[] = {
        {"46.5,2.3", {46.5, 2.3, 0, 0}, 2},
        {"1 2 3 4", {1, 2, 3, 4}, 4},
        {" -1.5 , 2,,3", {-1.5, 2, 3, 0}, 3},
        {"1 2 3 4 5", {1, 2, 3, 4}, 4},
        {"12;13", {12, 0, 0, 0}, 1}, // a separator other than blank or comma ends the list
        {"abc", {0, 0, 0, 0}, 0},
        {"", {0, 0, 0, 0}, 0},
    };
    for (const auto& c : cases) {
        const ProjectionParams params = ParseProjectionParams(c.text);
        EXPECT_EQ(params.count, c.count) << c.text;
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(params.p[i], c.p[i]) << c.text << " #" << i;
    }
    // A very long text is read without running past its end.
    std::string longText(100000, '1');
    longText += ",2";
    EXPECT_EQ(ParseProjectionParams(longText.c_str()).count, 2);
}

TEST(ProjectionFactory, ParametersBecomeConstructorAngles) {
    Projection* projection = nullptr;
    ASSERT_TRUE(CreateProjection(projection, "Lambert Conformal Conic", "46.5,2.3,44,49"));
    auto* lcc = dynamic_cast<LambertConformalProjection*>(projection);
    ASSERT_NE(lcc, nullptr);
    // p2 is the central longitude, p1 the latitude of origin, p3 and p4 the parallels.
    FILE* file = tmpfile();
    ASSERT_NE(file, nullptr);
    ASSERT_TRUE(lcc->WriteParams(file));
    rewind(file);
    int32_t words[7] = {};
    ASSERT_EQ(fread(words, 4, 7, file), 7u);
    fclose(file);
    EXPECT_EQ(words[3], 4014257);  // 2.3 degrees
    EXPECT_EQ(words[4], 81157810); // 46.5
    EXPECT_EQ(words[5], 76794487); // 44
    EXPECT_EQ(words[6], 85521133); // 49
    delete projection;
}

} // namespace
