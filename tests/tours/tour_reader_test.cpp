#include "tours/tour_reader.h"

#include <gtest/gtest.h>

#include "tests/support/program_key_scope.h"
#include "tests/support/scratch_dir.h"
#include "tests/tours/tour_test_util.h"
#include "tours/tour_walkers.h"
#include "views/tracking_view.h"
#include "tours/tour_writer.h"

using tourtest::Collector;
using tourtest::Header;
using tourtest::Record;
using tourtest::U;
using tourtest::Words;

namespace {

// A 9-word point at (lon, 100) with the given flags, altitude lon x 10 cm.
void Point(Words& w, uint32_t flags, int32_t lon) {
    w << flags << U(lon) << 100u << U(lon * 10) << 50u << 0u << 0u << 0u << U(lon);
}

std::vector<int32_t> Longitudes(const Collector& r) {
    std::vector<int32_t> out;
    for (const TrackPoint& p : r.Points())
        out.push_back(p.longitude);
    return out;
}

} // namespace

TEST(TourReader, SkipsDeletedRecordsAndDeliversRelocatedCopies) {
    ScratchDir dir;
    Words w = Header();
    w << U(-6) << 0u << 58177u << 58177u << 0u << 0u; // open segment: read through
    Point(w, 0, 1000);
    // A deleted point that had an extra word and a label: all of it is skipped.
    Point(w, 0x9FFFFFF6 | tur::kFlagExtraWord | tur::kFlagWaypoint, 2000);
    w << 77u << tur::kLabelSymbol << 0u << 0u << 0u;
    for (int i = 0; i < 8; ++i)
        w << 0x41414141u;
    // A relocated point: w7 holds the distance to its copy, which carries the label.
    const size_t relocated = w.size();
    Words tail;
    tail << U(-9) << 3000u << 100u << 30000u << 50u << 0u << 0u << 33u << 3000u;
    tail << tur::kLabelSymbol << 0u << 0u << 0u << 0x6B6C6157u; // "Walk"
    for (int i = 0; i < 7; ++i)
        tail << 0u;
    // A second relocated point whose copy was deleted: neither is delivered.
    const size_t gone = relocated + 36;
    // A data block larger than the read buffer.
    const uint32_t bigBytes = 50000;
    const size_t afterBig = gone + 36 + 12 + bigBytes;
    const size_t copy1 = afterBig + 36;
    const size_t copy2 = copy1 + tail.size();
    w << (tur::kFlagRelocated | 1) << 3000u << 100u << 30000u << 50u << 0u << 0u
      << U(static_cast<int32_t>(copy1 - relocated)) << 3000u;
    w << (tur::kFlagRelocated | 2) << 4000u << 100u << 40000u << 50u << 0u << 0u
      << U(static_cast<int32_t>(copy2 - gone)) << 4000u;
    w << U(-7) << 0u << bigBytes;
    for (uint32_t i = 0; i < bigBytes / 4; ++i)
        w << U(-3); // tags inside a block must not be read as records
    Point(w, 3, 5000);
    ASSERT_EQ(w.size(), copy1);
    w << U(-9) << 3000u << 100u << 30000u << 50u << 0u << 0u << 33u << 3000u;
    w << tur::kLabelSymbol << 0u << 0u << 0u << 0x6B6C6157u;
    for (int i = 0; i < 7; ++i)
        w << 0u;
    ASSERT_EQ(w.size(), copy2);
    w << tur::kDeletedCopy << 4000u << 100u << 40000u << 50u << 0u << 0u << 33u << 4000u;
    w << tur::kLabelSymbol << 0u << 0u << 0u;
    for (int i = 0; i < 8; ++i)
        w << 0u;
    const std::wstring path = dir.WriteFile(L"R.TUR", w.bytes());

    Collector r(path.c_str());
    ASSERT_EQ(r.Read(), 1);
    EXPECT_FALSE(r.Damaged());
    EXPECT_EQ(Longitudes(r), (std::vector<int32_t>{1000, 3000, 5000}));
    std::vector<Record> points = r.Of(1), labels = r.Of(2);
    ASSERT_EQ(labels.size(), 1u);
    EXPECT_EQ(points[1].offset, static_cast<int64_t>(copy1)); // delivered at the copy
    EXPECT_EQ(points[1].point.utmZone, 33);
    EXPECT_EQ(points[1].point.flags & tur::kFlagWaypoint, tur::kFlagWaypoint);
    EXPECT_EQ(labels[0].words[4], 0x6B6C6157u);
    EXPECT_EQ(r.count, 3);
}

TEST(TourReader, StopsAndSegmentChoices) {
    ScratchDir dir;
    Words w = Header();
    w << U(-6) << 0u << 58177u << 58177u << 0u << 72u; // closed: two points
    Point(w, 0, 1000);
    Point(w, 1, 1001);
    w << U(-6) << 58178u << 58177u << 116355u << 0u << 0u; // open
    Point(w, 2, 60000);
    Point(w, 3, 60001);
    w << U(-2) << 1234u;
    const std::wstring path = dir.WriteFile(L"S.TUR", w.bytes());

    Collector stop3(path.c_str());
    ASSERT_EQ(stop3.Read(3), 1);
    EXPECT_EQ(Longitudes(stop3), (std::vector<int32_t>{1000, 1001, 60000}));
    Collector byTag(path.c_str());
    ASSERT_EQ(byTag.Read(-6, true), 1);
    EXPECT_TRUE(byTag.Points().empty());

    // Answer 0: the closed segment is skipped by its length, the open one is read anyway.
    Collector skip(path.c_str());
    skip.segmentAnswer = 0;
    ASSERT_EQ(skip.Read(), 1);
    EXPECT_EQ(Longitudes(skip), (std::vector<int32_t>{60000, 60001}));
    EXPECT_EQ(skip.Of(-2).size(), 1u);

    // Answer 2 goes back once to the previous segment's content.
    Collector back(path.c_str());
    back.segmentAnswer = 2;
    ASSERT_EQ(back.Read(), 1);
    EXPECT_EQ(Longitudes(back), (std::vector<int32_t>{1000, 1001, 1000, 1001, 60000, 60001}));
}

TEST(TourReader, EmptyOrForeignFiles) {
    ScratchDir dir;
    Collector empty(dir.WriteFile(L"E.TUR", Header().bytes()).c_str());
    ASSERT_EQ(empty.Read(), 1);
    EXPECT_EQ(empty.count, 0);
    EXPECT_EQ(empty.lowestAltitude, 0x7FFFFFFF);
    EXPECT_EQ(empty.highestAltitude, -100000);
    EXPECT_FALSE(empty.Damaged());

    Words foreign;
    foreign << U(-5) << 9u;
    Collector notTour(dir.WriteFile(L"F.TUR", foreign.bytes()).c_str());
    EXPECT_EQ(notTour.Read(), 0);
    Collector nothing(dir.WriteFile(L"Z.TUR", "").c_str());
    EXPECT_EQ(nothing.Read(), 0);
    Collector missing((dir / L"none.TUR").c_str());
    EXPECT_EQ(missing.Read(), 0);
}

TEST(TourReader, StatisticsAndReadFlag) {
    ScratchDir dir;
    Words w = Header();
    w << U(-6) << 0u << 58177u << 58177u << 0u << 0u;
    const int32_t altitudes[] = {10000, 11000, 13000, 12900, 9000, 9000};
    for (int i = 0; i < 6; ++i)
        w << U(i) << U(1000 + i * 100) << 100u << U(altitudes[i]) << U(20 + i) << 0u << 0u << 0u
          << 0u;
    const std::wstring path = dir.WriteFile(L"A.TUR", w.bytes());
    for (int run = 0; run < 2; ++run) { // a second read starts afresh
        Collector r(path.c_str());
        ASSERT_EQ(r.Read(), 1);
        EXPECT_EQ(r.count, 6);
        EXPECT_EQ(r.ascent, 3000);  // 10000 -> 13000 beyond the 2500 cm hysteresis
        EXPECT_EQ(r.descent, 4000); // 13000 -> 9000
        EXPECT_EQ(r.lowestAltitude, 9000);
        EXPECT_EQ(r.highestAltitude, 13000);
        EXPECT_EQ(r.lowestSpeed, 20);
        EXPECT_EQ(r.highestSpeed, 25);
        EXPECT_NEAR(r.distance, 500 * 0.06378137, 0.01);
    }
    SetTourReadFlag(0);
    Collector cut(path.c_str());
    EXPECT_EQ(cut.Read(), 1);
    EXPECT_EQ(cut.count, 0);
    SetTourReadFlag(1);
}

// Every shortened and every byte-flipped copy of a valid tour reads safely: whole records up to
// the damage, a report of the damage, never a crash or a hang.
TEST(TourReader, TruncatedAndCorruptedFilesReadSafely) {
    ProgramKeyScope key;
    ScratchDir dir;
    const std::wstring good = dir / L"Good.TUR";
    {
        TourWriter w(nullptr, good.c_str(), 1, kItemTour);
        for (int i = 0; i < 12; ++i) {
            w.AddPoint(1000000 + i * 20000, 2000000, i * 100, 5, false, 0, nullptr, false);
            if (i % 4 == 3)
                w.AddWaypoint(1000000 + i * 20000, 2000000, 0, 0, nullptr, "Pin", L"Name",
                              L"Some description");
        }
        w.GetTour()->WriteDescription(L"Tour text");
        w.Close();
        Tour t(nullptr, good.c_str());
        ASSERT_TRUE(t.OpenReadWrite());
        Collector first(&t);
        ASSERT_EQ(first.Read(), 1);
        ASSERT_TRUE(t.InsertLabelAfter(first.Of(1)[2].offset, "Moved"));
        t.CloseFile();
    }
    const std::string bytes = ScratchDir::ReadFile(good);
    Collector whole(good.c_str());
    ASSERT_EQ(whole.Read(), 1);
    ASSERT_FALSE(whole.Damaged());
    const std::vector<Record> full = whole.Of(1);
    ASSERT_EQ(full.size(), 15u);

    auto readAll = [&](const std::string& data, bool* damaged) {
        const std::wstring path = dir.WriteFile(L"Sweep.TUR", data);
        Collector r(path.c_str());
        int result = r.Read();
        *damaged = r.Damaged();
        for (const Record& rec : r.Of(2)) // links are followed as far as they lead
            for (size_t i = 1; i < 3 && i < rec.words.size(); ++i) {
                std::wstring text;
                r.ReadTextBlock(rec.offset - 36 + static_cast<int32_t>(rec.words[i]), &text, 64);
            }
        return std::make_pair(result, r.Of(1));
    };
    for (size_t cut = 0; cut < bytes.size(); ++cut) {
        bool damaged = false;
        auto [result, points] = readAll(bytes.substr(0, cut), &damaged);
        if (cut < 4) {
            EXPECT_EQ(result, 0) << cut;
            continue;
        }
        ASSERT_EQ(result, 1) << cut;
        ASSERT_LE(points.size(), full.size()) << cut;
        for (size_t i = 0; i < points.size(); ++i) // a prefix of the whole file's points
            EXPECT_EQ(points[i].offset, full[i].offset) << cut;
        if (cut % 4 != 0) {
            EXPECT_TRUE(damaged) << cut;
        }
    }
    for (size_t at = 0; at < bytes.size(); ++at) {
        for (uint8_t flip : {0xFF, 0x80}) {
            std::string data = bytes;
            data[at] = static_cast<char>(data[at] ^ flip);
            bool damaged = false;
            auto [result, points] = readAll(data, &damaged);
            EXPECT_TRUE(result == 0 || result == 1) << at;
            EXPECT_LE(points.size(), bytes.size() / 20) << at; // 5-word points at the least
        }
    }
}

TEST(TourReader, TimeFinderAndTimeStampCollector) {
    ScratchDir dir;
    Words w = Header();
    w << U(-6) << 0u << 58177u << 58177u << 0u << 0u;
    for (uint32_t i = 0; i < 5; ++i) {
        w << (i | tur::kFlagWaypoint) << U(1000 + 1000 * i) << 100u << 0u << 0u << 0u << 0u << 0u
          << 100u * i;
        w << tur::kLabelTimeStamp << 0u << 0u << 7000u + 60u * i;
    }
    const std::wstring path = dir.WriteFile(L"Times.TUR", w.bytes());
    Tour tour(nullptr, path.c_str());
    {
        TourTimeFinder finder(&tour, 250);
        ASSERT_NE(finder.GetTourPath(), nullptr);
        EXPECT_EQ(tour.foundPoint.time, 300u);
        EXPECT_EQ(tour.foundPoint.longitude, 4000);
        EXPECT_NEAR(tour.foundDistance, 3000 * 0.06378137, 0.001);
    }
    {
        TourTimeFinder beyond(&tour, 100000);
        EXPECT_EQ(beyond.GetTourPath(), nullptr);
    }
    TourTimeStampCollector stamps(&tour);
    ASSERT_EQ(stamps.Size(), 5u);
    EXPECT_EQ(stamps.GetAt(0)->stamp, 7000u);
    EXPECT_EQ(stamps.GetAt(0)->secondsToNext, 60u);
    EXPECT_NEAR(stamps.GetAt(1)->distanceKm, 1000 * 0.06378137 / 1000, 1e-6);
    EXPECT_NEAR(stamps.GetAt(1)->toNextKm, 1000 * 0.06378137 / 1000, 1e-6);
    EXPECT_EQ(stamps.GetAt(5), nullptr);
}

TEST(TourReader, PointFinderTakesTheFirstPointNearTheTap) {
    ScratchDir dir;
    TrackingView view;
    view.width = view.height = 200;
    view.position.centreLongitude = 1000000;
    view.position.centreLatitude = 1000000;
    view.position.scale = 27900; // 100 units a pixel
    view.geoCorners[0] = 990000;
    view.geoCorners[1] = 1010000;
    view.geoCorners[2] = 1010000;
    view.geoCorners[3] = 990000;
    Words w = Header();
    // A segment far outside the view is skipped by its length.
    w << U(-6) << 0u << 58177u << 58177u << 0u << 36u;
    w << 0u << 1000000u << 1000000u << 0u << 0u << 0u << 0u << 0u << 0u;
    w << U(-6) << 988310u << 1047203u << 1047203u << 988310u << 0u;
    w << 1u << 1003000u << 1000000u << 0u << 0u << 0u << 0u << 0u << 0u;
    w << (2u | tur::kFlagWaypoint) << 1000400u << 999500u << 0u << 0u << 0u << 0u << 0u << 0u;
    w << 77u; // a waypoint record of symbol code 77
    w << 3u << 1000100u << 1000000u << 0u << 0u << 0u << 0u << 0u << 0u;
    const std::wstring path = dir.WriteFile(L"Find.TUR", w.bytes());
    Tour tour(nullptr, path.c_str());
    TourPointFinder finder(&tour, {100, 100}, &view); // the centre; 600 units of tolerance
    ASSERT_NE(finder.GetTourPath(), nullptr);
    EXPECT_EQ(tour.foundPoint.longitude, 1000400);
    EXPECT_EQ(finder.waypointType, 77);
    TourPointFinder none(&tour, {0, 0}, &view);
    EXPECT_EQ(none.GetTourPath(), nullptr);
}
