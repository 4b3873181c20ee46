#include <gtest/gtest.h>

#include "gps/average_filter.h"

TEST(AverageFilter, AveragesTheLastSamplesOnly) {
    AverageFilter f(3);
    EXPECT_EQ(f.Average(), 0); // empty
    f.Add(10);
    f.Add(20);
    EXPECT_EQ(f.Average(), 15);
    f.Add(30);
    f.Add(40); // 10 drops out
    EXPECT_EQ(f.Count(), 3);
    EXPECT_EQ(f.Average(), 30);
    f.Clear();
    EXPECT_EQ(f.Count(), 0);
    EXPECT_EQ(f.Average(), 0);
    f.Add(7);
    EXPECT_EQ(f.Average(), 7);
}

TEST(AverageFilter, ZeroCapacityHoldsOneSample) {
    AverageFilter f(0);
    f.Add(5);
    f.Add(9);
    EXPECT_EQ(f.Capacity(), 1);
    EXPECT_EQ(f.Average(), 9);
}

TEST(AverageFilter, ShiftMovesHeldSamplesAndSum) {
    AverageFilter f(4);
    f.Add(6200);
    f.Add(6250);
    f.Shift(-6283); // the course crossed north
    EXPECT_EQ(f.Sum(), -83 - 33);
    f.Add(100);
    f.Add(50);
    EXPECT_EQ(f.Average(), (-83 - 33 + 100 + 50) / 4);
    f.Add(60); // the shifted samples drop out with their shifted values
    f.Add(70);
    EXPECT_EQ(f.Sum(), 100 + 50 + 60 + 70);
}

TEST(PairAverageFilter, LatitudeSumsDoNotOverflow) {
    PairAverageFilter f(127);
    for (int i = 0; i < 127; ++i)
        f.Add(157079632);
    EXPECT_EQ(f.Average(), 157079632);
}
