// The 36-byte point of tours, POI files and recording. Files store it word by word.
#pragma once
#include <cstdint>

constexpr int32_t kNoAltitude = -100000; // centimetres: no altitude known

struct TrackPoint {
    uint32_t flags;     // point flags and running number
    int32_t longitude;  // radians x 10^8
    int32_t latitude;   // radians x 10^8
    int32_t altitude;   // centimetres
    uint16_t speed;     // 0.1 km/h
    uint8_t fixMode;    // receiver's fix mode
    uint8_t satellites; // satellites used
    int32_t utmEasting; // metres
    int32_t utmNorthing;
    uint16_t utmZone;
    uint16_t utmBand; // latitude band letter
    uint32_t time;    // time stamp
};
static_assert(sizeof(TrackPoint) == 36, "TrackPoint is a 36-byte record");

// Sets the initial values (altitude unknown, time now) and returns the record.
TrackPoint* InitTrackPoint(TrackPoint* point);
