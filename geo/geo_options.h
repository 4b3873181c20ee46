// The user's choices that geodesy texts depend on: unit system, coordinate format and the east
// letter of the current language. They live in the device profile and the language module;
// the application wires them in once at start-up through SetGeoOptionsSource, and every call
// below reads them afresh, so a changed setting shows at the next text.
#pragma once
#include <cstdint>
#include <functional>

// Unit system bits (mask 0xC000 of the option word cfg1).
constexpr uint32_t kUnitSystemMask = 0xC000;
constexpr uint32_t kUnitsImperial = 0x4000;
constexpr uint32_t kUnitsNautical = 0x8000; // 0xC000 is nautical too

// Coordinate format bits (mask 0x300000 of the option word cfg4).
constexpr uint32_t kCoordFormatMask = 0x300000;
constexpr uint32_t kCoordDegreesMinutesSeconds = 0x100000; // 0x300000 as well
constexpr uint32_t kCoordDecimalDegrees = 0x200000;

enum class UnitSystem { Metric, Imperial, Nautical };

struct GeoOptionsSource {
    std::function<uint32_t()> cfg1;   // option word holding the unit system bits
    std::function<uint32_t()> cfg4;   // option word holding the coordinate format bits
    std::function<char()> eastLetter; // 'E', or the language's own letter ('O')
};

// Installs the source (empty members fall back to metric, decimal minutes and 'E');
// returns the previous one.
GeoOptionsSource SetGeoOptionsSource(GeoOptionsSource source);

UnitSystem CurrentUnitSystem();
uint32_t CurrentCoordFormatBits(); // cfg4 & kCoordFormatMask
char CurrentEastLetter();
