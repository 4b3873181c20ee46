#include "tours/tour_converter.h"

#include <gtest/gtest.h>

#include "tests/support/scratch_dir.h"
#include "tests/tours/tour_test_util.h"

using tourtest::Collector;
using tourtest::Header;
using tourtest::Record;
using tourtest::U;
using tourtest::Words;

namespace {

void Patch(std::string* bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        (*bytes)[at + i] = static_cast<char>(value >> (8 * i));
}

// A version 6 tour: 8-word points without time, altitudes in metres, speeds in km/h; one
// waypoint with name and description blocks, one deleted point, a tour description.
std::string VersionSixTour() {
    Words w = Header(6);
    const size_t linkWord = w.size() - 8 - 4; // the link block's offset word
    w << U(-6) << 0u << 58177u << 58177u << 0u << 0u;
    auto point = [&](uint32_t flags, int32_t lon, int32_t altMetres, uint32_t kmh) {
        w << flags << U(lon) << 100u << U(altMetres) << kmh << 500000u << 5000000u << 32u;
    };
    point(0, 1000, 250, 12);
    const size_t waypoint = w.size();
    point(tur::kFlagWaypoint | 1, 2000, 260, 13);
    const size_t nameLink = w.size() + 4;
    w << tur::kLabelSymbol << 0u << 0u << 0u << 0x6E6950u; // "Pin"
    for (int i = 0; i < 7; ++i)
        w << 0u;
    point(0x9FFFFFF6, 3000, 0, 0);
    point(2, 4000, -5, 7);
    const size_t nameBlock = w.size();
    w << U(-7) << U(static_cast<int32_t>(nameBlock - waypoint)) << 16u;
    w.Text(L"Summit");
    const size_t descBlock = w.size();
    w << U(-8) << U(static_cast<int32_t>(descBlock - waypoint)) << 12u;
    w.Text(L"Windy");
    const size_t tourText = w.size();
    w << U(-7) << 0u << 8u;
    w.Text(L"Old");
    std::string bytes = w.bytes();
    Patch(&bytes, linkWord, static_cast<uint32_t>(tourText));
    Patch(&bytes, nameLink, static_cast<uint32_t>(nameBlock - waypoint));
    Patch(&bytes, nameLink + 4, static_cast<uint32_t>(descBlock - waypoint));
    return bytes;
}

} // namespace

TEST(TourConverter, VersionSixBecomesNineWithLinksKept) {
    ScratchDir dir;
    const std::string original = VersionSixTour();
    const std::wstring path = dir.WriteFile(L"Old.TUR", original);
    uint32_t lastTime = 0;
    for (int run = 0; run < 2; ++run) {
        if (run == 1) { // a second file continues the synthetic times
            DeleteFileW((path + L"_old").c_str());
            dir.WriteFile(L"Old.TUR", original);
        }
        TourConverter conv(path.c_str());
        ASSERT_TRUE(conv.Succeeded());
        EXPECT_EQ(conv.PointsConverted(), 3);
        EXPECT_EQ(ScratchDir::ReadFile(path + L"_old"), original);

        Collector r(path.c_str());
        ASSERT_EQ(r.Read(), 1);
        EXPECT_FALSE(r.Damaged());
        EXPECT_EQ(r.Version(), 9);
        std::vector<Record> points = r.Of(1);
        ASSERT_EQ(points.size(), 3u);
        const int32_t lons[3] = {1000, 2000, 4000}, cm[3] = {25000, 26000, -500};
        const uint16_t speeds[3] = {120, 130, 70};
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(points[i].point.longitude, lons[i]);
            EXPECT_EQ(points[i].point.altitude, cm[i]);
            EXPECT_EQ(points[i].point.speed, speeds[i]);
            EXPECT_EQ(points[i].point.utmZone, 32);
        }
        if (run == 0)
            EXPECT_EQ(points[0].point.time, 841320537u);
        else
            EXPECT_EQ(points[0].point.time, lastTime + 3);
        EXPECT_EQ(points[1].point.time, points[0].point.time + 3);
        EXPECT_EQ(points[2].point.time, points[0].point.time + 6);
        lastTime = points[2].point.time;

        std::vector<Record> labels = r.Of(2);
        ASSERT_EQ(labels.size(), 1u);
        std::wstring name, description;
        EXPECT_TRUE(r.ReadTextBlock(points[1].offset + static_cast<int32_t>(labels[0].words[1]),
                                    &name, 64));
        EXPECT_TRUE(r.ReadTextBlock(points[1].offset + static_cast<int32_t>(labels[0].words[2]),
                                    &description, 64));
        EXPECT_EQ(name, L"Summit");
        EXPECT_EQ(description, L"Windy");
        // The blocks' own word 0 points back at the converted point as well.
        std::vector<Record> blocks = r.Of(-7);
        ASSERT_GE(blocks.size(), 3u);
        EXPECT_EQ(blocks[blocks.size() - 2].offset -
                      static_cast<int32_t>(blocks[blocks.size() - 2].words[0]),
                  points[1].offset);

        Tour t(nullptr, path.c_str());
        ASSERT_EQ(t.ReadProperties(false), 1);
        EXPECT_EQ(t.bounds.lonMin, 0);
        EXPECT_EQ(t.bounds.lonMax, 58177);
        wchar_t text[16];
        ASSERT_TRUE(t.ReadDescription(text, 16));
        EXPECT_STREQ(text, L"Old");
    }
}

TEST(TourConverter, FailedRenameLeavesOriginalUntouched) {
    ScratchDir dir;
    const std::string original = VersionSixTour();
    const std::wstring path = dir.WriteFile(L"Keep.TUR", original);
    dir.WriteFile(L"Keep.TUR_old", "in the way");
    TourConverter conv(path.c_str());
    EXPECT_FALSE(conv.Succeeded());
    EXPECT_EQ(ScratchDir::ReadFile(path), original);
    EXPECT_EQ(ScratchDir::ReadFile(path + L"_old"), "in the way");

    // A file that is no tour is put back as it was.
    const std::wstring foreign = dir.WriteFile(L"Foreign.TUR", "not a tour file");
    TourConverter none(foreign.c_str());
    EXPECT_FALSE(none.Succeeded());
    EXPECT_EQ(ScratchDir::ReadFile(foreign), "not a tour file");
    EXPECT_EQ(GetFileAttributesW((foreign + L"_old").c_str()), INVALID_FILE_ATTRIBUTES);
}
