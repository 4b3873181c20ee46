#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include "maps/fixed_trig.h"

TEST(FixedTrig, EveryEntryIsTheRoundedValueOrAListedException) {
    const std::map<int, int> sinExceptions = {{577, 5843},   {681, 1694},   {902, -7132},
                                              {1145, -9601}, {1297, -5843}, {1346, -3988},
                                              {1401, -1694}};
    const std::map<int, int> cosExceptions = {
        {785, -9601}, {937, -5843}, {1041, -1694}, {1111, 1348}, {1262, 7132}};
    const double step = std::acos(-1.0) / 720.0;
    for (int i = 0; i < kFixedTrigEntries; ++i) {
        // Index i is reached from angle i - 2880 as well as from i.
        for (int angle : {i, i - 2880}) {
            int sinRounded = int(std::lround(std::sin(i * step) * 10000.0));
            int cosRounded = int(std::lround(std::cos(i * step) * 10000.0));
            auto s = sinExceptions.find(i);
            auto c = cosExceptions.find(i);
            EXPECT_EQ(FixedSin(int16_t(angle)), s != sinExceptions.end() ? s->second : sinRounded)
                << "sin " << angle;
            EXPECT_EQ(FixedCos(int16_t(angle)), c != cosExceptions.end() ? c->second : cosRounded)
                << "cos " << angle;
            if (s != sinExceptions.end()) {
                EXPECT_EQ(std::abs(s->second - sinRounded), 1) << i;
            }
            if (c != cosExceptions.end()) {
                EXPECT_EQ(std::abs(c->second - cosRounded), 1) << i;
            }
        }
    }
    EXPECT_EQ(FixedCos(0), 10000);
    EXPECT_EQ(FixedSin(360), 10000);
    EXPECT_EQ(FixedSin(-360), -10000);
    EXPECT_EQ(FixedCos(720), -10000);
}
