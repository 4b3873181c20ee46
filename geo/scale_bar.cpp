#include "geo/scale_bar.h"

#include "core/truncate.h"
#include "geo/text_format.h"

#include <climits>
#include <cmath>

namespace {
struct NiceSpan {
    double span;
    int ticks; // 0: keep the current count
};

// p = 10^trunc(log10 r); the span is the table entry before the first mantissa that r / p
// exceeds (10p when it is the first, p when none is exceeded).
template <size_t N>
NiceSpan NiceSpanOf(double r, const double (&mantissas)[N], const int (&ticks)[N]) {
    const double p = std::pow(10.0, TruncateToInt(std::log10(r)));
    const double m = r / p;
    for (size_t i = 0; i < N; ++i) {
        if (m > mantissas[i]) {
            if (i == 0)
                return {10.0 * p, 0};
            return {mantissas[i - 1] * p, ticks[i - 1]};
        }
    }
    return {p, 0};
}

const double kAxisMantissas[] = {8, 6, 5, 4, 3, 2.5, 2, 1.5, 1.2, 1};
const int kAxisTicks[] = {4, 3, 5, 4, 3, 5, 4, 3, 3, 5};
const double kScaledMantissas[] = {7.5, 5, 4, 3, 2.5, 2, 1.5, 1};
const int kScaledTicks[] = {0, 0, 0, 0, 0, 0, 0, 0};

// Round distance n (in the label's unit x 1000) as "%.1f<unit>" or "%d<unit>".
int LargeLabel(float n, const wchar_t* unit, wchar_t* buffer, size_t bufferChars) {
    const int hundreds = TruncateToInt(n / 100.0f) % 10;
    const float value = n * 0.001f;
    if (hundreds != 0)
        return FormatText(buffer, bufferChars, L"%.1f%ls", static_cast<double>(value), unit);
    return FormatText(buffer, bufferChars, L"%d%ls", TruncateToInt(value), unit);
}

void Rescale(int* pixels, float nice, float given) {
    if (pixels)
        *pixels = TruncateToInt(static_cast<float>(*pixels) * nice / given);
}

// Imperial and nautical labels: u is thousandths of the unit, feetPerUnit its length in feet.
int MilesLabel(int* pixels, float u, float feetPerUnit, const wchar_t* unit, wchar_t* buffer,
               size_t bufferChars) {
    if (u < 1000.0f) {
        const float feet = u * feetPerUnit * 0.001f;
        const float n = NiceScaleNumber(feet);
        Rescale(pixels, n, feet);
        return FormatText(buffer, bufferChars, L"%dft", TruncateToInt(n));
    }
    const float n = NiceScaleNumber(u);
    Rescale(pixels, n, u);
    return LargeLabel(n, unit, buffer, bufferChars);
}
} // namespace

float NiceScaleNumber(float x) {
    if (!(x > 0.0f) || std::isinf(x))
        return 0.0f;
    static const float mantissas[] = {7.5f, 5.0f, 4.0f, 2.5f, 2.0f, 1.0f};
    const float p = std::pow(10.0f, static_cast<float>(TruncateToInt(std::log10(x))));
    const float m = x / p;
    for (size_t i = 0; i < sizeof mantissas / sizeof mantissas[0]; ++i) {
        if (m > mantissas[i])
            return i == 0 ? 10.0f * p : mantissas[i - 1] * p;
    }
    return p;
}

int DistanceTextKm(int* pixels, float metres, wchar_t* buffer, size_t bufferChars) {
    const float n = NiceScaleNumber(metres);
    Rescale(pixels, n, metres);
    if (n < 1000.0f)
        return FormatText(buffer, bufferChars, L"%dm", TruncateToInt(n));
    return LargeLabel(n, L"km", buffer, bufferChars);
}

int DistanceTextMi(int* pixels, float metres, wchar_t* buffer, size_t bufferChars) {
    return MilesLabel(pixels, metres * 0.6213712f, 5280.0f, L"mi", buffer, bufferChars);
}

int DistanceTextNm(int* pixels, float metres, wchar_t* buffer, size_t bufferChars) {
    return MilesLabel(pixels, metres * 0.5399568f, 6076.12f, L"nm", buffer, bufferChars);
}

void AxisTickLayout(int* lo, int* hi, int* count) {
    *count = 5;
    if (*hi <= *lo)
        return;
    NiceSpan nice = NiceSpanOf(static_cast<double>(*hi) - *lo, kAxisMantissas, kAxisTicks);
    if (nice.ticks)
        *count = nice.ticks;
    const int64_t tick = TruncateToInt<int64_t>(nice.span / *count);
    if (tick <= 0)
        return;
    int64_t low = *lo;
    const int64_t rem = low % tick;
    low -= rem;
    if (rem < 0)
        low -= tick;
    nice = NiceSpanOf(static_cast<double>(*hi) - low, kAxisMantissas, kAxisTicks);
    if (nice.ticks)
        *count = nice.ticks;
    *lo = static_cast<int>(std::max<int64_t>(low, INT_MIN));
    *hi = TruncateToInt(static_cast<double>(*lo) + TruncateToInt<int64_t>(nice.span));
}

void AxisTickLayoutScaled(int* lo, int* hi, int divisor) {
    if (*hi <= *lo || *lo == INT_MAX || divisor <= 0)
        return;
    NiceSpan nice =
        NiceSpanOf((static_cast<double>(*hi) - *lo) / divisor, kScaledMantissas, kScaledTicks);
    const int64_t step = TruncateToInt<int64_t>(nice.span);
    if (step == 0)
        return;
    const int64_t low = static_cast<int64_t>(*lo) - static_cast<int64_t>(*lo) % step;
    nice = NiceSpanOf((static_cast<double>(*hi) - low) / divisor, kScaledMantissas, kScaledTicks);
    *lo = static_cast<int>(low);
    *hi = TruncateToInt(static_cast<double>(low) + TruncateToInt<int64_t>(divisor * nice.span));
}
