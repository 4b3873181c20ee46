// The device-profile option words that the receiver reads. The application core owns them;
// it installs a source so that the receiver always sees the current words.
#pragma once
#include <cstdint>
#include <functional>

struct GpsOptions {
    uint32_t cfg1 = 0xA3AF0030; // bit 0: static navigation
    uint32_t cfg4 = 0;          // bit 22: Bluetooth, external or virtual receiver
    // bits 0-6 filter length, bit 7 filter on, bits 8-14 speed (km/h) from which raw is used
    uint32_t cfg5 = 0x8285;
    // bits 0-6 course filter length, bit 7 on, bits 8-14 speed (km/h) from which the course
    // is averaged, bits 25-31 speed (km/h) from which the course filter is cleared
    uint32_t cfg6 = 0x28000284;
    uint32_t cfg7 = 0x2; // bit 1: use the receiver

    bool UseGps() const { return cfg7 & 0x2; }
    bool Bluetooth() const { return cfg4 & (1u << 22); }
    bool StaticNavigation() const { return cfg1 & 1u; }
    int FilterLength() const { return cfg5 & 0x7F; }
    bool FilterOn() const { return cfg5 & 0x80; }
    int FilterRawSpeed() const { return (cfg5 >> 8) & 0x7F; }
    int CourseFilterLength() const { return cfg6 & 0x7F; }
    bool CourseClearOn() const { return cfg6 & 0x80; }
    int CourseMinSpeed() const { return (cfg6 >> 8) & 0x7F; }
    int CourseClearSpeed() const { return (cfg6 >> 25) & 0x7F; }
};

using GpsOptionsSource = std::function<GpsOptions()>;
// Empty: the defaults above.
void SetGpsOptionsSource(GpsOptionsSource source);
GpsOptions CurrentGpsOptions();
