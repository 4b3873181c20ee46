#include "tours/tour.h"

#include <gtest/gtest.h>

#include "tests/support/program_key_scope.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/ui_recorder.h"
#include "tests/tours/tour_test_util.h"
#include "tours/tour_writer.h"

using tourtest::Collector;
using tourtest::Header;
using tourtest::Record;
using tourtest::U;
using tourtest::Words;

namespace {

std::wstring WriteSmallTour(const ScratchDir& dir, const wchar_t* name) {
    const std::wstring path = dir / name;
    TourWriter w(nullptr, path.c_str(), 3, kItemTour);
    for (int i = 0; i < 4; ++i)
        w.AddPoint(1000 + i, 2000, 0, 0, false, 0, nullptr, false);
    w.AddWaypoint(1005, 2000, 0, 0, nullptr, "Pin", L"P", nullptr);
    w.Close();
    return path;
}

} // namespace

TEST(Tour, Colours) {
    Tour t;
    EXPECT_EQ(t.Colour(), kTourColours[0]);
    t.SetColour(0xFF0000);
    EXPECT_EQ(t.colourIndex, 6);
    t.NextColour();
    EXPECT_EQ(t.colourIndex, 0);
    t.SetColour(0x123456);
    EXPECT_EQ(t.colourIndex, kTourCustomColour);
    t.NextColour();
    EXPECT_EQ(t.Colour(), 0x123456u);
}

TEST(Tour, PropertiesWithoutBoundsBlockAndBoxTest) {
    ScratchDir dir;
    Words w = Header(7);
    w << U(-6) << 0u << 58177u << 58177u << 0u << 0u;
    const std::wstring path = dir.WriteFile(L"Seven.TUR", w.bytes());
    Tour t(nullptr, path.c_str());
    const tur::Box view = {5000000, 6000000, 6000000, 5000000};
    EXPECT_TRUE(t.IntersectsBox(view)); // no points yet: always drawn
    t.bounds = {0, 58177, 58177, 0};
    EXPECT_FALSE(t.IntersectsBox(view));
    EXPECT_TRUE(t.IntersectsBox({50000, 60000, 60000, 50000}));
    ASSERT_EQ(t.ReadProperties(false), 1);
    EXPECT_EQ(t.bounds.lonMax, 58177); // untouched
    EXPECT_EQ(t.Colour(), 0x0000FFu);
    EXPECT_EQ(t.storedVisible, 1);
    EXPECT_STREQ(t.dateText, L"");
    Tour missing(nullptr, (dir / L"none.TUR").c_str());
    EXPECT_EQ(missing.ReadProperties(false), 0);
}

TEST(Tour, DescriptionIsBoundedByTheBuffer) {
    ProgramKeyScope key;
    ScratchDir dir;
    Tour t(nullptr, WriteSmallTour(dir, L"D.TUR").c_str());
    ASSERT_TRUE(t.WriteDescription(L"First"));
    ASSERT_TRUE(t.WriteDescription(L"A longer second text"));
    EXPECT_FALSE(t.IsOpen());
    wchar_t text[7];
    ASSERT_TRUE(t.ReadDescription(text, 7));
    EXPECT_STREQ(text, L"A long");
    wchar_t full[64];
    ASSERT_TRUE(t.ReadDescription(full, 64));
    EXPECT_STREQ(full, L"A longer second text");
    Collector r(t.path);
    ASSERT_EQ(r.Read(), 1);
    EXPECT_FALSE(r.Damaged());
    EXPECT_EQ(r.Points().size(), 5u);
}

TEST(Tour, DeletePointMarksOnceAndKeepsItsLabel) {
    ProgramKeyScope key;
    ScratchDir dir;
    Tour t(nullptr, WriteSmallTour(dir, L"Del.TUR").c_str());
    std::vector<Record> points;
    {
        Collector r(t.path);
        ASSERT_EQ(r.Read(), 1);
        points = r.Of(1);
    }
    ASSERT_EQ(points.size(), 5u);
    for (int twice = 0; twice < 2; ++twice) {
        EXPECT_TRUE(t.DeletePoint(points[4].offset)); // the waypoint
        EXPECT_TRUE(t.DeletePoint(points[1].offset));
    }
    EXPECT_FALSE(t.DeletePoint(0)); // the file start tag is no point
    const std::string bytes = ScratchDir::ReadFile(t.path);
    EXPECT_EQ(tur::GetU32(reinterpret_cast<const uint8_t*>(&bytes[points[4].offset])),
              0x9FFFFFF6u | tur::kFlagWaypoint);
    Collector r(t.path);
    ASSERT_EQ(r.Read(), 1);
    EXPECT_FALSE(r.Damaged());
    EXPECT_EQ(r.Points().size(), 3u);
    EXPECT_TRUE(r.Of(2).empty());
}

TEST(Tour, InsertedLabelReplacesThePointsOwnAndCanBeDeleted) {
    ProgramKeyScope key;
    ScratchDir dir;
    Tour t(nullptr, WriteSmallTour(dir, L"Ins.TUR").c_str());
    std::vector<Record> points;
    {
        Collector r(t.path);
        ASSERT_EQ(r.Read(), 1);
        points = r.Of(1);
    }
    ASSERT_TRUE(t.OpenReadWrite());
    EXPECT_TRUE(t.InsertLabelAfter(points[4].offset, "Camp"));
    EXPECT_TRUE(t.InsertLabelAfter(points[4].offset, "Camp2")); // relocated twice
    t.CloseFile();
    int64_t copy = 0;
    {
        Collector r(t.path);
        ASSERT_EQ(r.Read(), 1);
        EXPECT_FALSE(r.Damaged());
        std::vector<Record> now = r.Of(1), labels = r.Of(2);
        ASSERT_EQ(now.size(), 5u);
        EXPECT_EQ(now[4].point.utmZone, points[4].point.utmZone);
        ASSERT_EQ(labels.size(), 1u);
        EXPECT_STREQ(reinterpret_cast<const char*>(&labels[0].words[4]), "Camp2");
        copy = now[4].offset;
    }
    EXPECT_TRUE(t.DeletePoint(copy));
    Collector r(t.path);
    ASSERT_EQ(r.Read(), 1);
    EXPECT_FALSE(r.Damaged());
    EXPECT_EQ(r.Points().size(), 4u);
}

TEST(Tour, RenameKeepsEverythingWhenTheTargetExists) {
    ProgramKeyScope key;
    ScratchDir dir;
    const std::wstring path = WriteSmallTour(dir, L"Walk.TUR");
    dir.WriteFile(L"Taken.TUR", "x");
    key.SetDword(L"Visible", 1, L"Tour\\Walk");
    Tour t(L"Walk", path.c_str());
    {
        UiRecorder ui;
        EXPECT_FALSE(t.Rename(L"Taken"));
        ASSERT_EQ(ui.count(), 1u);
        EXPECT_EQ(ui.last().text, L"Error while renaming " + path + L"!");
        EXPECT_EQ(ui.last().caption, L"Error");
    }
    EXPECT_EQ(std::wstring(t.path), path);
    EXPECT_STREQ(t.name, L"Walk");
    EXPECT_TRUE(key.Exists(L"Tour\\Walk"));

    t.SetName(L"Hike");
    EXPECT_EQ(std::wstring(t.path), dir / L"Hike.TUR");
    EXPECT_STREQ(t.name, L"Hike");
    EXPECT_FALSE(key.Exists(L"Tour\\Walk"));
    Tour again(nullptr, t.path);
    EXPECT_EQ(again.ReadProperties(false), 1);
    EXPECT_EQ(again.Colour(), kTourColours[3]);
}

TEST(Tour, MarkedPointAndFileNames) {
    Tour t;
    TrackPoint p{};
    p.longitude = 5;
    p.latitude = 6;
    EXPECT_FALSE(t.IsMarkedPoint(p));
    t.ToggleMarkedPoint(p);
    EXPECT_TRUE(t.IsMarkedPoint(p));
    EXPECT_EQ(t.markedPoint.flags, 1u);
    t.ToggleMarkedPoint(p);
    EXPECT_FALSE(t.IsMarkedPoint(p));
    std::wstring tour = MakeTourFileName(L"T", L".TUR");
    std::wstring poi = MakeTourFileName(L"poi_", L"");
    EXPECT_EQ(tour.size(), 1 + 16 + 4u);
    EXPECT_EQ(poi.size(), 4 + 19u);
    EXPECT_EQ(tour[5], L'-');
}
