#include "geo/geo_options.h"

#include <utility>

namespace {
GeoOptionsSource& Source() {
    static GeoOptionsSource source;
    return source;
}
} // namespace

GeoOptionsSource SetGeoOptionsSource(GeoOptionsSource source) {
    return std::exchange(Source(), std::move(source));
}

UnitSystem CurrentUnitSystem() {
    const auto& cfg1 = Source().cfg1;
    const uint32_t bits = cfg1 ? (cfg1() & kUnitSystemMask) : 0;
    if (bits == 0)
        return UnitSystem::Metric;
    return bits == kUnitsImperial ? UnitSystem::Imperial : UnitSystem::Nautical;
}

uint32_t CurrentCoordFormatBits() {
    const auto& cfg4 = Source().cfg4;
    return cfg4 ? (cfg4() & kCoordFormatMask) : 0;
}

char CurrentEastLetter() {
    const auto& east = Source().eastLetter;
    const char letter = east ? east() : 'E';
    return letter ? letter : 'E';
}
