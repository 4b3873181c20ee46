#include "maps/fixed_trig.h"

#include <array>
#include <cmath>

namespace {

struct TableFix {
    int index;
    int16_t value;
};

// Entries that the maps and views have always used, one off the rounded value; kept so that
// pixel results stay the same everywhere.
constexpr TableFix kSinFixes[] = {{577, 5843},   {681, 1694},   {902, -7132}, {1145, -9601},
                                  {1297, -5843}, {1346, -3988}, {1401, -1694}};
constexpr TableFix kCosFixes[] = {
    {785, -9601}, {937, -5843}, {1041, -1694}, {1111, 1348}, {1262, 7132}};

using Table = std::array<int16_t, kFixedTrigEntries>;

template <size_t N> Table BuildTable(bool cosine, const TableFix (&fixes)[N]) {
    Table table{};
    const double quarterDegree = std::acos(-1.0) / 720.0;
    for (int i = 0; i < kFixedTrigEntries; ++i) {
        double v = cosine ? std::cos(i * quarterDegree) : std::sin(i * quarterDegree);
        table[i] = static_cast<int16_t>(std::lround(v * 10000.0));
    }
    for (const TableFix& fix : fixes)
        table[fix.index] = fix.value;
    return table;
}

int Index(int16_t angle) {
    int i = (angle + 2880) % kFixedTrigEntries;
    return i < 0 ? i + kFixedTrigEntries : i; // angles below -2880 wrap like any other turn
}

} // namespace

int FixedSin(int16_t angle) {
    static const Table table = BuildTable(false, kSinFixes);
    return table[Index(angle)];
}

int FixedCos(int16_t angle) {
    static const Table table = BuildTable(true, kCosFixes);
    return table[Index(angle)];
}
