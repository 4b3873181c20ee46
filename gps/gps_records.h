// The fix records that the receiver fills and the user-interface thread copies out, and the
// private messages that announce them to the owner window.
#pragma once
#include <windows.h>
#include <cstdint>

constexpr UINT WM_GPS_POSITION = WM_USER + 256;   // 0x500: new position
constexpr UINT WM_GPS_SATELLITES = WM_USER + 257; // 0x501: satellites in view changed
constexpr UINT WM_GPS_NMEA_TEXT = WM_USER + 263;  // 0x507: new text in the NMEA text buffer

constexpr int kGpsMaxSatellites = 12;
constexpr int kNmeaTextChars = 4096;

// Fix mode 100: the last $GPGGA had an empty quality field.
constexpr uint16_t kFixModeNoQuality = 100;

struct GpsPosition {
    uint16_t fixMode; // 1 none, 2 2D, 3 3D, 0 unknown
    uint16_t satellitesUsed;
    uint16_t day, month, year;
    uint16_t hour, minute, second; // UTC
    int32_t latitude;              // 1e-8 rad, north positive
    int32_t longitude;             // 1e-8 rad, east positive
    int32_t altitude;              // cm above mean sea level
    uint32_t speed;                // cm/s
    uint16_t course;               // mrad 0..6283, clockwise from north
};

struct GpsSatellite {
    uint16_t prn;
    int16_t azimuth;   // 1e-4 rad, -pi..pi
    int16_t elevation; // 1e-4 rad
};

struct GpsSky {
    uint16_t pdop, hdop, vdop; // x 10
    uint16_t inView;           // entries of `satellites` in use, never above 12
    GpsSatellite satellites[kGpsMaxSatellites];
};

constexpr uint16_t kActiveSatUsed = 5;

struct GpsActiveSats {
    struct Slot {
        uint16_t state; // 5 used, 0 empty
        uint16_t prn;
    } slots[kGpsMaxSatellites];
};

// The caller's copy of the fix (GPS::GetSnapshot); the pointers name records the caller owns.
// The GPS object keeps one of the same shape whose pointers name its own records.
struct GpsSnapshot {
    uint32_t positionUpdated;
    uint32_t satellitesUpdated;
    uint32_t reserved;
    GpsPosition* position;
    GpsSky* sky;
    GpsActiveSats* active;
    int32_t longitude; // smoothed, 1e-8 rad
    int32_t latitude;  // smoothed, 1e-8 rad
    int32_t altitude;  // smoothed, cm
    uint32_t speed;    // smoothed, cm/s
};

// A snapshot together with the records it points at, for callers that want one object.
struct GpsSnapshotStorage {
    GpsPosition position{};
    GpsSky sky{};
    GpsActiveSats active{};
    GpsSnapshot snapshot{0, 0, 0, &position, &sky, &active, 0, 0, 0, 0};
    GpsSnapshotStorage() = default;
    GpsSnapshotStorage(const GpsSnapshotStorage&) = delete;
    GpsSnapshotStorage& operator=(const GpsSnapshotStorage&) = delete;
};
