#include "geo/units.h"

#include "geo/angles.h"
#include "geo/geo_options.h"
#include "geo/text_format.h"

#include <cmath>
#include <string>

namespace {
constexpr double kGreatCircleFrom = 100000.0; // metres
constexpr double kEarthRadius = 6378137.0;    // metres
int greatCircleMode = 0;

// The first occurrence of 'u' in format replaced by `count` characters of unit.
std::wstring WithUnit(const wchar_t* format, const wchar_t* unit, size_t replaced) {
    std::wstring text = format ? format : L"";
    const size_t at = text.find(L'u');
    if (at != std::wstring::npos)
        text.replace(at, std::min(replaced, text.size() - at), unit);
    return text;
}
} // namespace

double DistanceFlat(const TrackPoint& p1, const TrackPoint& p2) {
    // A signed 32-bit difference wraps across the date line; bring it back to -pi..pi.
    int64_t dlon = static_cast<int64_t>(p1.longitude) - p2.longitude;
    if (dlon > kAnglePi)
        dlon -= kAngleTwoPi;
    else if (dlon < -kAnglePi)
        dlon += kAngleTwoPi;
    const double dx = static_cast<double>(dlon) * std::cos(p1.latitude * kAngleToRadians);
    const double dy = static_cast<double>(p1.latitude) - static_cast<double>(p2.latitude);
    return std::sqrt(dx * dx + dy * dy) * (kEarthRadius * 1e-8);
}

double DistanceGreatCircle(const TrackPoint& p1, const TrackPoint& p2) {
    const double phi1 = p1.latitude * kAngleToRadians;
    const double phi2 = p2.latitude * kAngleToRadians;
    const double dlambda = (static_cast<double>(p2.longitude) - p1.longitude) * kAngleToRadians;
    // The haversine form of acos(cos dl cos p2 cos p1 + sin p2 sin p1): the same angle without
    // the cosine's rounding, which puts some 0.1 m between a point and itself.
    const double sinHalfLat = std::sin((phi2 - phi1) / 2.0);
    const double sinHalfLon = std::sin(dlambda / 2.0);
    double h = sinHalfLat * sinHalfLat + std::cos(phi1) * std::cos(phi2) * sinHalfLon * sinHalfLon;
    h = std::fmax(0.0, std::fmin(1.0, h));
    return 2.0 * std::asin(std::sqrt(h)) * kEarthRadius;
}

double DistanceMetres(const TrackPoint& p1, const TrackPoint& p2) {
    if (greatCircleMode == 0) {
        const double flat = DistanceFlat(p1, p2);
        if (flat < kGreatCircleFrom)
            return flat;
        greatCircleMode = 1;
    }
    const double great = DistanceGreatCircle(p1, p2);
    if (great >= kGreatCircleFrom)
        return great;
    greatCircleMode = 0;
    return DistanceFlat(p1, p2);
}

void ResetDistanceMode() {
    greatCircleMode = 0;
}

const wchar_t* SpeedUnitText() {
    switch (CurrentUnitSystem()) {
    case UnitSystem::Imperial:
        return L"mph";
    case UnitSystem::Nautical:
        return L"kn";
    default:
        return L"km/h";
    }
}

const wchar_t* AltitudeUnitText() {
    return CurrentUnitSystem() == UnitSystem::Metric ? L"m" : L"ft";
}

const wchar_t* DistanceUnitText() {
    switch (CurrentUnitSystem()) {
    case UnitSystem::Imperial:
        return L"mi";
    case UnitSystem::Nautical:
        return L"nm";
    default:
        return L"km";
    }
}

const wchar_t* DeltaDistanceUnitText() {
    switch (CurrentUnitSystem()) {
    case UnitSystem::Imperial:
        return L"\u0394mi";
    case UnitSystem::Nautical:
        return L"\u0394nm";
    default:
        return L"\u0394km";
    }
}

int SpeedText(wchar_t* buffer, size_t bufferChars, const wchar_t* format, int speed) {
    const std::wstring work = WithUnit(format, SpeedUnitText(), 1);
    // Single precision on purpose: the texts match those of the device.
    const float kmh = static_cast<float>(speed) * 0.1f;
    float value = kmh;
    switch (CurrentUnitSystem()) {
    case UnitSystem::Imperial:
        value = kmh * 1000.0f * 0.00062150403f; // 1/1609
        break;
    case UnitSystem::Nautical:
        value = kmh * 1000.0f * 0.0005399568f; // 1/1852
        break;
    default:
        break;
    }
    return FormatText(buffer, bufferChars, work.c_str(), static_cast<double>(value));
}

int AltitudeText(wchar_t* buffer, size_t bufferChars, int metres) {
    if (CurrentUnitSystem() == UnitSystem::Metric)
        return FormatText(buffer, bufferChars, L"%dm", metres);
    const int feet = static_cast<int>(static_cast<int64_t>(metres) * 100 / 30);
    return FormatText(buffer, bufferChars, L"%dft", feet);
}

int DistanceText(wchar_t* buffer, size_t bufferChars, const wchar_t* format, double metres) {
    const std::wstring work = WithUnit(format, DistanceUnitText(), 2);
    double value;
    switch (CurrentUnitSystem()) {
    case UnitSystem::Imperial:
        value = metres * 0.0006213711944996513 + 0.00031068559724982566;
        break;
    case UnitSystem::Nautical:
        value = metres * 0.0005399568034557236 + 0.0002699784017278618;
        break;
    default:
        value = metres * 0.001 + 0.0005;
        break;
    }
    return FormatText(buffer, bufferChars, work.c_str(), value);
}
