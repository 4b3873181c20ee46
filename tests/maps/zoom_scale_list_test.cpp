#include "maps/zoom_scale_list.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

const std::vector<int32_t> kSeries = {
    500,     1000,    2500,    5000,     10000,    25000,    50000,     100000,    250000,   500000,
    1000000, 2500000, 5000000, 10000000, 25000000, 50000000, 100000000, 250000000, 500000000};

std::vector<int32_t> Entries(const ZoomScaleList& list) {
    std::vector<int32_t> out;
    for (int i = 0; i < ZoomScaleList::kSlots && list.At(i) != 0; ++i)
        out.push_back(list.At(i));
    return out;
}

} // namespace

TEST(ZoomScaleList, StartsWithStandardSeriesAt25000) {
    ZoomScaleList list(1000, 500000000);
    EXPECT_EQ(Entries(list), kSeries);
    EXPECT_EQ(list.Count(), 19);
    EXPECT_EQ(list.CurrentValue(), 25000);
    EXPECT_EQ(list.CurrentIndex(), 5);
    EXPECT_EQ(list.LowBound(), 1000);
    EXPECT_EQ(list.HighBound(), 500000000);
}

TEST(ZoomScaleList, InsertKeepsOrderBoundsAndCurrentEntry) {
    ZoomScaleList list(1000, 500000000);
    for (int32_t ignored : {499, 500000001, 500000000, 500, 25000})
        list.Insert(ignored);
    EXPECT_EQ(Entries(list), kSeries);

    list.Insert(30000); // above the current value: the index already points at 25000
    EXPECT_EQ(list.CurrentIndex(), 5);
    list.Insert(20000);
    EXPECT_EQ(list.CurrentIndex(), 6);
    EXPECT_EQ(list.At(list.CurrentIndex()), 25000);
    EXPECT_EQ(list.At(5), 20000);
    EXPECT_EQ(list.At(7), 30000);
}

TEST(ZoomScaleList, RemoveClosesGapAndFollowsCurrentEntry) {
    ZoomScaleList list(1000, 500000000);
    list.Remove(12345); // absent
    EXPECT_EQ(Entries(list), kSeries);
    list.Remove(1000);
    EXPECT_EQ(list.CurrentIndex(), 4);
    EXPECT_EQ(list.At(4), 25000);
    list.Remove(100000);
    EXPECT_EQ(list.CurrentIndex(), 4);
    EXPECT_EQ(list.Count(), 17);
    EXPECT_EQ(list.At(17), 0);
}

TEST(ZoomScaleList, ZoomStopsAtBothEnds) {
    ZoomScaleList list(1000, 500000000);
    list.SelectIndex(0);
    EXPECT_EQ(list.CurrentValue(), 500);
    EXPECT_EQ(list.CurrentIndex(), 5); // SelectIndex leaves the index alone
    EXPECT_EQ(list.Find(500), 500);
    EXPECT_EQ(list.ZoomIn(), 500);
    EXPECT_EQ(list.CurrentIndex(), 0);
    EXPECT_EQ(list.ZoomOut(), 1000);
    list.Find(500000000);
    EXPECT_EQ(list.ZoomOut(), 500000000);
    EXPECT_EQ(list.CurrentIndex(), 18);
}

TEST(ZoomScaleList, FindAndSelectNearestNeverPickAnEmptySlot) {
    ZoomScaleList list(1000, 500000000);
    EXPECT_EQ(list.Find(0), 0);
    EXPECT_EQ(list.Find(12345), 0);
    EXPECT_EQ(list.CurrentValue(), 25000);

    struct Case {
        int32_t asked, picked;
    } cases[] = {{100, 500}, {1750, 1000}, {1751, 2500}, {37500, 25000}, {2000000000, 500000000}};
    for (const Case& c : cases) {
        EXPECT_EQ(list.SelectNearest(c.asked), c.picked) << c.asked;
        EXPECT_EQ(list.At(list.CurrentIndex()), c.picked) << c.asked;
    }
}

TEST(ZoomScaleList, SeriesRules) {
    ZoomScaleList list(1000, 500000000);
    list.RemoveSeries(25000); // 4166 .. 300000
    EXPECT_EQ(Entries(list),
              (std::vector<int32_t>{500, 1000, 2500, 500000, 1000000, 2500000, 5000000, 10000000,
                                    25000000, 50000000, 100000000, 250000000, 500000000}));
    list.Insert(30000);
    list.AddSeries(25000);
    EXPECT_EQ(
        Entries(list),
        (std::vector<int32_t>{500,      1000,     2500,     5000,      10000,     25000,    30000,
                              50000,    100000,   250000,   500000,    1000000,   2500000,  5000000,
                              10000000, 25000000, 50000000, 100000000, 250000000, 500000000}));
    list.RemoveRange(600000000, 2000); // reversed bounds
    EXPECT_EQ(Entries(list), (std::vector<int32_t>{500, 1000}));
    list.RemoveSeries(400000000); // 12 x s beyond 32 bits must not wrap
    EXPECT_EQ(Entries(list), (std::vector<int32_t>{500, 1000}));
}

TEST(ZoomScaleList, EmptyListKeepsAUsableScale) {
    ZoomScaleList list(1000, 500000000);
    list.RemoveRange(0, 500000000);
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(list.SelectNearest(100), 0);
    EXPECT_NE(list.ZoomIn(), 0);
    EXPECT_NE(list.ZoomOut(), 0);
    list.Insert(5000);
    EXPECT_EQ(list.ZoomOut(), 5000);
}

TEST(ZoomScaleList, FullListNeverMovesIndexPastLastSlot) {
    ZoomScaleList list(1000, 500000000);
    for (int32_t s = 600; list.Count() < ZoomScaleList::kSlots; s += 7)
        list.Insert(s);
    list.Find(500000000);
    EXPECT_EQ(list.CurrentIndex(), 63);
    EXPECT_EQ(list.ZoomOut(), 500000000);
    EXPECT_EQ(list.CurrentIndex(), 63);
    list.Insert(501); // the last entry falls off
    EXPECT_EQ(list.CurrentIndex(), 63);
    EXPECT_EQ(list.Count(), 64);
    EXPECT_EQ(list.ZoomOut(), list.At(63));
    list.Insert(499999999); // beyond every entry of a full list: nothing to do
    EXPECT_EQ(list.At(63), 250000000);
}
