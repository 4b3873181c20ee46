#include "tours/tour_format.h"

#include <gtest/gtest.h>
#include <cstring>

TEST(TourFormat, CellsFloorOnBothAxes) {
    struct Case {
        int32_t value, min;
    } cases[] = {{-58178, -58178},
                 {-1, -58178},
                 {0, 0},
                 {58177, 0},
                 {58178, 58178},
                 {-58179, -116356},
                 {INT32_MIN, INT32_MIN},
                 {INT32_MAX, 2147466336}};
    for (const Case& c : cases) {
        tur::Box cell = tur::CellOf(c.value, c.value);
        EXPECT_EQ(cell.lonMin, c.min) << c.value;
        EXPECT_EQ(cell.latMin, c.min) << c.value;
        if (c.min > INT32_MIN && c.min < 2000000000) {
            EXPECT_EQ(cell.lonMax, c.min + 58177) << c.value;
            EXPECT_TRUE(tur::Contains(cell, c.value, c.value)) << c.value;
        }
    }
}

TEST(TourFormat, RecordLengths) {
    EXPECT_EQ(tur::PointWords(9), 9);
    EXPECT_EQ(tur::PointWords(7), 9);
    EXPECT_EQ(tur::PointWords(6), 8);
    EXPECT_EQ(tur::PointWords(5), 8);
    EXPECT_EQ(tur::PointWords(4), 5);
    struct Case {
        uint32_t header;
        int version, words;
    } cases[] = {
        {tur::kLabelSymbol, 9, 12}, {tur::kLabelTimeStamp, 9, 4},
        {tur::kLabelSymbol, 5, 10}, {0x40000209, 9, 4},
        {0x0000020A, 6, 3},         {0x00000017, 9, 1},
        {0x80000000 | 535, 6, 3},   {535, 5, 2},
    };
    for (const Case& c : cases)
        EXPECT_EQ(tur::WaypointWords(c.header, c.version), c.words) << std::hex << c.header;
    EXPECT_EQ(tur::TextBlockBytes(0), 4u);
    EXPECT_EQ(tur::TextBlockBytes(1), 4u);
    EXPECT_EQ(tur::TextBlockBytes(2), 8u);
    EXPECT_EQ(tur::TextBlockBytes(3), 8u);
}

TEST(TourFormat, PointWordsRoundTrip) {
    TrackPoint p{0x40000007, -123456789, 87654321, -4200, 315, 3, 9, 500123, 5300456, 32, 'U', 77};
    uint32_t w[9];
    tur::PointToWords(p, w);
    EXPECT_EQ(w[4], 315u | 3u << 16 | 9u << 24);
    EXPECT_EQ(w[7], 32u | uint32_t{'U'} << 16);
    TrackPoint back = tur::PointFromWords(w, 9);
    EXPECT_EQ(memcmp(&back, &p, sizeof(p)), 0);
    TrackPoint old = tur::PointFromWords(w, 6); // no time before version 7
    EXPECT_EQ(old.time, 0u);
    EXPECT_EQ(old.utmZone, 32);
}
