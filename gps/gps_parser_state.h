// What the NMEA and SiRF decoders keep across sentences. One instance for the program run,
// shared by every GPS object and touched only by the reader thread.
#pragma once
#include <cstdint>

#include "gps/gps_records.h"

struct GpsParserState {
    int gsvIndex = 0; // satellites stored so far in the current $GPGSV set, 0..12
    GpsSatellite previous[kGpsMaxSatellites] = {};
    int previousCount = 0;
    int rmcValid = 0; // consecutive $GPRMC with status A, up to 10
    uint16_t nmeaPreviousCourse = 0;
    uint16_t sirfPreviousCourse = 0;
};

GpsParserState& ParserState();
