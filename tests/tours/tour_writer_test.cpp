#include "tours/tour_writer.h"

#include <gtest/gtest.h>

#include "core/time_stamp.h"
#include "platform/clock.h"
#include "tests/support/program_key_scope.h"
#include "tests/support/scratch_dir.h"
#include "tests/tours/tour_test_util.h"
#include "manager/manager.h"
#include "tours/tour_file_io.h"

using tourtest::Collector;
using tourtest::Record;

namespace {

TrackPoint Source(int32_t lon, int32_t lat, int32_t alt, uint16_t speed, uint32_t time) {
    TrackPoint p{};
    p.longitude = lon;
    p.latitude = lat;
    p.altitude = alt;
    p.speed = speed;
    p.satellites = 7;
    p.time = time;
    return p;
}

class FixedFix : public TourFixSource {
public:
    TourFix CurrentFix() const override { return fix; }
    TourFix fix;
};

// Sets the local clock of the program for the scope (the host's clock is never touched).
class FakeClock {
public:
    explicit FakeClock(uint32_t stamp) : stamp_(stamp) {
        previous_ = SetClockHooks({[this](SYSTEMTIME* t) { SplitTimeStamp(stamp_, t); }, {}});
    }
    ~FakeClock() { SetClockHooks(previous_); }
    void Set(uint32_t stamp) { stamp_ = stamp; }

private:
    uint32_t stamp_;
    ClockHooks previous_;
};

int64_t SizeOf(const std::wstring& path) {
    return static_cast<int64_t>(ScratchDir::ReadFile(path).size());
}

} // namespace

TEST(TourWriter, RoundTripOfPointsWaypointsLabelsAndTexts) {
    ProgramKeyScope key;
    ScratchDir dir;
    const std::wstring path = dir / L"Trip.TUR";
    const TrackPoint a = Source(100000, 200000, 12345, 250, 5000);
    const TrackPoint b = Source(100500, 200400, 12845, 260, 5010);
    const TrackPoint c = Source(300000, 200400, 9000, 10, 5020); // next cell east
    {
        TourWriter w(nullptr, path.c_str(), 2, kItemTour);
        ASSERT_TRUE(w.HasFile());
        EXPECT_TRUE(w.AddPoint(0, 0, 0, 0, false, tur::kFlagBreak, &a, false));
        EXPECT_TRUE(w.AddPoint(0, 0, 0, 0, false, 0, &b, false));
        EXPECT_TRUE(w.AddWaypoint(0, 0, 0, tur::kFlagIsolated, &b, "Hut", L"Alm H\u00fctte",
                                  L"Water here"));
        EXPECT_TRUE(w.AddPoint(0, 0, 0, 0, false, 0, &c, false));
        EXPECT_TRUE(w.AddWaypoint(0, 0, 0, 0, &c, tur::kTimeStampSymbol, nullptr, nullptr));
        EXPECT_FALSE(w.AddPoint(0, 0, 0, 0, false, 0, nullptr, true)); // 0, 0 is no position
        EXPECT_TRUE(w.GetTour()->WriteDescription(L"A day in the hills"));
        w.EndSegment();
        w.Close();
    }
    Collector r(path.c_str());
    ASSERT_EQ(r.Read(), 1);
    EXPECT_FALSE(r.Damaged());
    std::vector<TrackPoint> pts = r.Points();
    ASSERT_EQ(pts.size(), 5u);
    const TrackPoint* expected[5] = {&a, &b, &b, &c, &c};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(pts[i].flags & tur::kPointNumberMask, static_cast<uint32_t>(i));
        EXPECT_EQ(pts[i].longitude, expected[i]->longitude) << i;
        EXPECT_EQ(pts[i].altitude, expected[i]->altitude) << i;
        EXPECT_EQ(pts[i].speed, expected[i]->speed) << i;
        EXPECT_EQ(pts[i].time, expected[i]->time) << i;
        EXPECT_EQ(pts[i].fixMode, 3) << i;
        EXPECT_NE(pts[i].utmZone, 0) << i;
    }
    EXPECT_TRUE(pts[0].flags & tur::kFlagBreak);
    EXPECT_EQ(pts[2].flags & ~tur::kPointNumberMask, tur::kFlagWaypoint | tur::kFlagIsolated);

    std::vector<Record> labels = r.Of(2);
    ASSERT_EQ(labels.size(), 2u);
    ASSERT_EQ(labels[0].words.size(), 12u);
    EXPECT_EQ(labels[0].words[0], tur::kLabelSymbol);
    EXPECT_STREQ(reinterpret_cast<const char*>(&labels[0].words[4]), "Hut");
    // Each label directly follows its point.
    std::vector<Record> points = r.Of(1);
    EXPECT_EQ(labels[0].offset, points[2].offset + 36);
    std::wstring name, description;
    ASSERT_TRUE(
        r.ReadTextBlock(points[2].offset + static_cast<int32_t>(labels[0].words[1]), &name, 100));
    ASSERT_TRUE(r.ReadTextBlock(points[2].offset + static_cast<int32_t>(labels[0].words[2]),
                                &description, 100));
    EXPECT_EQ(name, L"Alm H\u00fctte");
    EXPECT_EQ(description, L"Water here");
    EXPECT_EQ(labels[1].words[0], tur::kLabelTimeStamp);
    EXPECT_EQ(labels[1].words.size(), 4u);

    // Two cells: the first segment's length reaches exactly to the second header.
    std::vector<Record> segments = r.Of(-6);
    ASSERT_EQ(segments.size(), 2u);
    EXPECT_EQ(segments[0].words[4], segments[1].offset - segments[0].offset - 24);
    EXPECT_EQ(segments[1].words[4], 0u);

    Tour t(nullptr, path.c_str());
    ASSERT_EQ(t.ReadProperties(false), 1);
    EXPECT_EQ(t.Colour(), kTourColours[2]);
    EXPECT_EQ(t.storedVisible, 1);
    EXPECT_EQ(t.bounds.lonMin, 58178);
    EXPECT_EQ(t.bounds.lonMax, 5 * 58178 + 58177);
    EXPECT_EQ(t.bounds.latMin, 3 * 58178);
    wchar_t text[64];
    ASSERT_TRUE(t.ReadDescription(text, 64));
    EXPECT_STREQ(text, L"A day in the hills");
}

TEST(TourWriter, CellRuleSplitsAtZero) {
    ProgramKeyScope key;
    ScratchDir dir;
    const std::wstring path = dir / L"Cells.TUR";
    {
        TourWriter w(nullptr, path.c_str(), 0, kItemTour);
        for (int32_t lon : {-58178, -1, 0})
            EXPECT_TRUE(w.AddPoint(lon, 100, 0, 0, false, 0, nullptr, false));
        w.Close();
    }
    Collector r(path.c_str());
    ASSERT_EQ(r.Read(), 1);
    std::vector<Record> segments = r.Of(-6);
    ASSERT_EQ(segments.size(), 2u);
    EXPECT_EQ(static_cast<int32_t>(segments[0].words[0]), -58178);
    EXPECT_EQ(static_cast<int32_t>(segments[0].words[2]), -1);
    EXPECT_EQ(static_cast<int32_t>(segments[1].words[0]), 0);
    EXPECT_EQ(static_cast<int32_t>(segments[1].words[2]), 58177);
    // -58178 and -1 share the first segment: 2 points and the run's first time mark.
    EXPECT_EQ(segments[0].words[4], 2 * 36u + 8u);
    EXPECT_EQ(r.Of(1).size(), 3u);
}

TEST(TourWriter, ImportIntoExistingFileRewritesIt) {
    ProgramKeyScope key;
    ScratchDir dir;
    const std::wstring path = dir / L"Again.TUR";
    for (int run = 0; run < 2; ++run) {
        TourWriter w(nullptr, path.c_str(), -1, kItemTour);
        ASSERT_TRUE(w.HasFile());
        for (int i = 0; i < 3 + run * 2; ++i)
            EXPECT_TRUE(w.AddPoint(1000 + i, 2000, 0, 0, false, 0, nullptr, false));
        w.EndSegment();
        w.Close();
    }
    Collector r(path.c_str());
    ASSERT_EQ(r.Read(), 1);
    EXPECT_FALSE(r.Damaged());
    EXPECT_EQ(r.Points().size(), 5u);
    EXPECT_EQ(r.Of(-3).size(), 1u);
}

TEST(TourWriter, TimeMarksByClockAndRegistryStateOnlyForRecording) {
    ProgramKeyScope key;
    ScratchDir dir;
    FakeClock clock(900000000);
    {
        // An import: many points, but the recording state of the registry stays untouched.
        TourWriter w(nullptr, (dir / L"Import.TUR").c_str(), -1, kItemTour);
        for (int i = 0; i < 30; ++i)
            w.AddPoint(5000 + i, 5000, 0, 0, false, 0, nullptr, false);
        w.EndSegment();
        w.Close();
        DWORD v;
        EXPECT_FALSE(key.GetDword(L"TourPoint", &v));
        EXPECT_FALSE(key.GetDword(L"Duration", &v));
    }
    const std::wstring rec = dir / L"Rec.TUR";
    key.SetString(L"CurTour", rec);
    FixedFix fix;
    fix.fix = {7000, 7000, 50000, 1000, 3, 0, 0};
    Tour tour(L"Rec", rec.c_str());
    {
        auto w = TourWriter::ForTour(&fix, &tour);
        ASSERT_TRUE(w->HasFile());
        clock.Set(910000000);
        // The first point of a recording may be a waypoint: its label must still follow it.
        ASSERT_TRUE(w->LockForAppend());
        EXPECT_TRUE(w->AddWaypoint(6000, 6000, 0, 0, nullptr, "Start", nullptr, nullptr));
        w->Unlock();
        for (int i = 0; i < 26; ++i) {
            ASSERT_TRUE(w->LockForAppend());
            clock.Set(910000000 + (i == 20 ? 601 : 0) + (i > 20 ? 601 : 0));
            EXPECT_TRUE(w->AddPoint(6000 + i, 6000, 100, 50, false, 0, nullptr, true));
            w->Unlock();
        }
        DWORD counter = 0;
        EXPECT_TRUE(key.GetDword(L"TourPoint", &counter));
        EXPECT_EQ(counter, 25u);
        w->EndSegment();
        w->Close();
        EXPECT_TRUE(key.GetDword(L"TourPoint", &counter));
        EXPECT_EQ(counter, 0u);
    }
    Collector r(rec.c_str());
    ASSERT_EQ(r.Read(), 1);
    EXPECT_FALSE(r.Damaged());
    std::vector<Record> all = r.records;
    // point, its label; the fix quality record after the first point that is not a waypoint.
    size_t first = 0;
    while (first < all.size() && all[first].kind != 1)
        ++first;
    ASSERT_LT(first + 3, all.size());
    EXPECT_EQ(all[first + 1].kind, 2);
    EXPECT_EQ(all[first + 2].kind, 1);
    EXPECT_EQ(all[first + 3].kind, -2); // the first mark of the run (clock far past 0)
    EXPECT_EQ(all[first + 4].kind, -4);
    // The next mark comes after the first point that is more than 600 s later by the clock.
    std::vector<Record> marks = r.Of(-2);
    ASSERT_EQ(marks.size(), 2u);
    EXPECT_EQ(marks[1].words[0], 910000601u);
    std::vector<Record> points = r.Of(1);
    EXPECT_EQ(marks[1].offset, points[21].offset + 36);
    EXPECT_EQ(r.Of(-1).size(), 1u);
    EXPECT_TRUE(points[1].point.flags & tur::kFlagNoSatellites);
    EXPECT_EQ(points[1].point.fixMode, 3);
}

TEST(TourWriter, PoiFileNameTakesTwelvePlusTextBytes) {
    ProgramKeyScope key;
    ScratchDir dir;
    TrackPoint p{};
    p.longitude = 20000000;
    p.latitude = 80000000;
    p.altitude = 50000;
    struct Case {
        const wchar_t* name;
        uint32_t textBytes;
    } cases[] = {{L"A", 4}, {L"Ab", 8}, {L"Abc", 8}, {L"Abcd", 12}};
    for (const Case& c : cases) {
        std::unique_ptr<Tour> tour;
        ASSERT_TRUE(CreatePoiFile(dir.path().c_str(), c.name, "Flag", L"", p, &tour));
        EXPECT_EQ(tour->kind, kItemPoiFile);
        Collector r(tour->path);
        ASSERT_EQ(r.Read(), 1);
        EXPECT_FALSE(r.Damaged());
        std::vector<Record> points = r.Of(1), labels = r.Of(2), names = r.Of(-7),
                            descriptions = r.Of(-8);
        ASSERT_EQ(points.size(), 1u);
        EXPECT_EQ(points[0].point.flags & tur::kPoiPointFlags, tur::kPoiPointFlags);
        ASSERT_EQ(labels.size(), 1u);
        const int64_t nameBlock = points[0].offset + static_cast<int32_t>(labels[0].words[1]);
        EXPECT_EQ(nameBlock, points[0].offset + 36 + 48);
        ASSERT_FALSE(names.empty());
        EXPECT_EQ(names.back().offset, nameBlock);
        EXPECT_EQ(names.back().words[1], c.textBytes) << c.name;
        EXPECT_EQ(static_cast<int32_t>(names.back().words[0]),
                  static_cast<int32_t>(labels[0].words[1]));
        // The description block follows the name block directly: 12 + text bytes later.
        ASSERT_FALSE(descriptions.empty());
        EXPECT_EQ(descriptions.back().offset, nameBlock + 12 + c.textBytes) << c.name;
        std::wstring name;
        EXPECT_TRUE(r.ReadTextBlock(nameBlock, &name, 64));
        EXPECT_EQ(name, c.name);
        Tour props(nullptr, tour->path);
        ASSERT_EQ(props.ReadProperties(false), 1);
        EXPECT_EQ(props.kind, kItemPoiFile);
        EXPECT_TRUE(tur::IsEmptyBox(props.bounds));
    }
    // A POI of an existing name is written anew.
    std::unique_ptr<Tour> again;
    ASSERT_TRUE(CreatePoiFile(dir.path().c_str(), L"A", " TimeStamp", L"x", p, &again));
    EXPECT_EQ(SizeOf(again->path), 120 + 24 + 36 + 16 + 16 + 16);
}

TEST(TourWriter, ListedTourTakesOverTheFile) {
    ProgramKeyScope key;
    ScratchDir dir;
    Manager manager;
    g_managerRoot = &manager;
    const std::wstring path = dir / L"Listed.TUR";
    {
        TourWriter first(nullptr, path.c_str(), 0, kItemTour);
        EXPECT_EQ(manager.lists[kListTours], first.GetTour());
        EXPECT_EQ(first.ReleaseTour(), nullptr);
        first.AddPoint(100, 100, 0, 0, false, 0, nullptr, true);
        first.Close();
    }
    Tour* listed = static_cast<Tour*>(manager.lists[kListTours]);
    {
        TourWriter second(nullptr, path.c_str(), 0, kItemTour);
        EXPECT_EQ(second.GetTour(), listed);
        EXPECT_EQ(manager.lists[kListTours]->next, nullptr);
        EXPECT_TRUE(second.AddPoint(200, 100, 0, 0, false, 0, nullptr, true));
        second.Close();
    }
    TrackPoint p;
    MakePointRecord(&p, 20000000, 80000000, kNoAltitude);
    EXPECT_EQ(p.utmZone, 32);
    ASSERT_TRUE(CreatePoiFile(dir.path().c_str(), L"Listed POI", "Flag", L"", p));
    ASSERT_NE(manager.lists[kListPois], nullptr);
    EXPECT_STREQ(manager.lists[kListPois]->name, L"Listed POI");
    g_managerRoot = nullptr;
    Collector r(path.c_str());
    ASSERT_EQ(r.Read(), 1);
    ASSERT_EQ(r.Points().size(), 1u);
    EXPECT_EQ(r.Points()[0].longitude, 200);
}
