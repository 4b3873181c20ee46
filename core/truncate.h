// Truncation towards zero of geodetic and pixel results, safe for NaN and out-of-range values:
// NaN gives 0, values beyond the target type saturate at its limits.
#pragma once
#include <cmath>
#include <cstdint>
#include <limits>

template <typename Int = int32_t> inline Int TruncateToInt(double value) {
    if (std::isnan(value))
        return 0;
    constexpr double lo = static_cast<double>(std::numeric_limits<Int>::min());
    constexpr double hi = static_cast<double>(std::numeric_limits<Int>::max());
    if (value <= lo)
        return std::numeric_limits<Int>::min();
    if (value >= hi)
        return std::numeric_limits<Int>::max();
    return static_cast<Int>(value);
}
