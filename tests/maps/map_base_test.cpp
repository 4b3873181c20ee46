// Scale range, coverage test, view pixel conversions and moving a map's files.
#include <gtest/gtest.h>

#include <cmath>

#include "maps/map_base.h"
#include "maps/view_lon_lat.h"
#include "tests/maps/map_fixture.h"
#include "tests/support/program_key_scope.h"
#include "tests/support/scratch_dir.h"

using namespace fixtures;

TEST(MapBaseScale, NativeScaleRangeBothSides) {
    MapBase map;
    map.nativeScale = 25000;
    struct Case {
        int32_t scale, offset;
    } cases[] = {{6249, kNoScaleOffset}, {6250, 6250 - 25000},     {25000, 0},
                 {200000, 175000},       {200001, kNoScaleOffset}, {0, kNoScaleOffset}};
    for (const Case& c : cases)
        EXPECT_EQ(map.ScaleOffset(c.scale), c.offset) << c.scale;
    map.nativeScale = 400000000; // the upper end saturates instead of wrapping negative
    EXPECT_EQ(map.GetMaxScale(), INT32_MAX);
    EXPECT_NE(map.ScaleOffset(500000000), kNoScaleOffset);
}

TEST(MapBaseCoverage, PictureOutsideViewAndNearThePole) {
    MapBase map;
    map.width = 200;
    map.height = 100;
    CalibrateLinear(map);
    Canvas canvas(300, 200);
    TrackingView view;
    CentreView(view, map, canvas, 300, 200);
    double inside = map.IsInView(&view, &view.position, map.nativeScale, 0);
    EXPECT_GT(inside, 0.0);
    Pan(view, 400, 0); // the picture lies wholly left of the view
    EXPECT_EQ(map.IsInView(&view, &view.position, map.nativeScale, 0), 0.0);
    Pan(view, -400 - 262, 0); // right of the view, 12 pixels apart
    EXPECT_EQ(map.IsInView(&view, &view.position, map.nativeScale, 0), 0.0);
    Pan(view, 20, 0);
    EXPECT_GT(map.IsInView(&view, &view.position, map.nativeScale, 0), 0.0);
    EXPECT_EQ(map.IsInView(&view, &view.position, 0, 0), 0.0);

    // At the pole the cosine of the window's width is 0: the result stays finite.
    MapBase polar;
    polar.width = 200;
    polar.height = 100;
    polar.SetRefPixel(0, POINT{0, 0});
    polar.SetRefCoord(0, 0, 157079632 - 100 * kPerPixel);
    polar.SetRefPixel(1, POINT{200, 100});
    polar.SetRefCoord(1, 200 * kPerPixel, 157079632);
    polar.Calibrate();
    view.position.storedLongitude = 100 * kPerPixel;
    view.position.storedLatitude = 157079632;
    double result = polar.IsInView(&view, &view.position, polar.nativeScale, 0);
    EXPECT_TRUE(std::isfinite(result));
}

TEST(MapBaseCoverage, LocateScreenPoint) {
    MapBase map;
    map.width = 200;
    map.height = 100;
    CalibrateLinear(map);
    Canvas canvas(300, 200);
    TrackingView view;
    CentreView(view, map, canvas, 300, 200);
    EXPECT_TRUE(map.LocatePosition(&view, POINT{60, 60}));
    EXPECT_FALSE(map.LocatePosition(&view, POINT{20, 60}));
    EXPECT_TRUE(map.LocatePosition2(&view, map.nativeScale));
}

TEST(ViewPixels, FlatRuleDirectAndDividedForms) {
    TrackingView view;
    view.width = 480;
    view.height = 640;
    view.position.centreLongitude = 1000000;
    view.position.centreLatitude = 2000000;
    struct Case {
        int32_t scale, offset;
        int16_t x, y;
    } cases[] = {
        {333333, 7500000, 240 + 6277, 320 - 6277}, // direct: 7500000 x 279 / 333333
        {333333, 7500001, 240 + 6283, 320 - 6283}, // divided: (d / 333) x 279 / 1000
        {333333, -7500001, 240 - 6283, 320 + 6283},
        {25000, 0, 240, 320},
        {25000, 2500, 240 + 27, 320 - 27},
        // Below 1:1000 the divided form would divide by zero; far pixels saturate.
        {500, 7500001, 32767, -32768},
        {500, 1000, 240 + 558, 320 - 558},
        {0, 1000, 240, 320},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.scale << " " << c.offset);
        view.position.scale = c.scale;
        EXPECT_EQ(ViewLonToX(&view, view.position.centreLongitude + c.offset), c.x);
        EXPECT_EQ(ViewLatToY(&view, view.position.centreLatitude + c.offset), c.y);
    }
}

TEST(MapBaseRename, MovesPictureAndCalibrationFile) {
    ScratchDir dir;
    std::wstring oldBase = dir / L"Old";
    CreateDirectoryW(oldBase.c_str(), nullptr);
    CreateDirectoryW((oldBase + L"\\sub").c_str(), nullptr);
    std::wstring newBase = dir / L"New\\";

    MapBase withCal;
    withCal.SetPath(dir.WriteFile(L"Old\\sub\\a.jpg", "x").c_str());
    wcscpy(withCal.calPath, dir.WriteFile(L"Old\\sub\\a.cal", "c").c_str());
    EXPECT_TRUE(withCal.RenameFile(oldBase.c_str(), newBase.c_str()));
    EXPECT_EQ(std::wstring(withCal.path), dir / L"New\\sub\\a.jpg");
    EXPECT_EQ(std::wstring(withCal.calPath), dir / L"New\\sub\\a.cal");
    EXPECT_EQ(ScratchDir::ReadFile(withCal.calPath), "c");

    // Without a calibration file the picture's move is the result.
    MapBase plain;
    plain.SetPath(dir.WriteFile(L"Old\\b.jpg", "y").c_str());
    EXPECT_TRUE(plain.RenameFile(oldBase.c_str(), newBase.c_str()));
    EXPECT_EQ(std::wstring(plain.path), dir / L"New\\b.jpg");

    // A picture that cannot move leaves both paths and the calibration file alone.
    MapBase missing;
    std::wstring gone = dir / L"Old\\gone.jpg";
    missing.SetPath(gone.c_str());
    std::wstring cal = dir.WriteFile(L"Old\\gone.cal", "c");
    wcscpy(missing.calPath, cal.c_str());
    EXPECT_FALSE(missing.RenameFile(oldBase.c_str(), newBase.c_str()));
    EXPECT_EQ(std::wstring(missing.path), gone);
    EXPECT_EQ(std::wstring(missing.calPath), cal);
    EXPECT_NE(GetFileAttributesW(cal.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(MapBaseText, InfoTextAndRenameOfTheSettingsKey) {
    ProgramKeyScope key;
    ScratchDir dir;
    MapBase map;
    map.width = 200;
    map.height = 100;
    map.SetPath(dir.WriteFile(L"a.jpg", "12345").c_str());
    ManagerItem& item = map;
    item.ManagerItem::SetName(L"Old");
    key.SetDword(L"Zoom", 3, L"Map\\Old");
    ASSERT_TRUE(key.Exists(L"Map\\Old"));
    map.SetName(L"New");
    EXPECT_FALSE(key.Exists(L"Map\\Old"));
    EXPECT_EQ(std::wstring(map.name), L"New");

    wchar_t text[600];
    map.GetInfoText(text, 600);
    std::wstring expected = L"File: " + std::wstring(map.path) + L"\r\nDate: " + map.dateText +
                            L"\r\nProjection: UTM\r\nWidth=200, Height=100, 0bpp\r\nSize: 5 bytes";
    EXPECT_EQ(std::wstring(text), expected);
}
