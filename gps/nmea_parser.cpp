// The four NMEA sentences that fill the fix records. Every parser runs on the reader thread
// with the object's lock held.
#include <cstring>

#include "core/time_stamp.h"
#include "core/truncate.h"
#include "gps/gps.h"
#include "gps/gps_parser_state.h"
#include "gps/nmea_sentence.h"

namespace {
constexpr double kDegreesTo1e8Rad = 1745329.2519943295;
constexpr double kMinutesTo1e8Rad = 29088.820866572158;
constexpr double kDegreesTo1e4Rad = 174.532925199;
constexpr double kDegreesToMrad = 17.4532925199;
constexpr double kKnotsToCmS = 50.0; // the receiver's speed unit, kept as users know it
constexpr double kDopFactor = 10.0;
constexpr double kMetresToCm = 100.0;
constexpr int kRmcTrusted = 10;

// "4807.038" with two degree digits: 48 deg 7.038 min. Both products are truncated apart.
int32_t DegreesMinutes(const NmeaFields& f, int i, size_t degreeDigits) {
    return TruncateToInt(f.IntAt(i, 0, degreeDigits) * kDegreesTo1e8Rad) +
           TruncateToInt(f.RealAt(i, degreeDigits) * kMinutesTo1e8Rad);
}

int16_t Azimuth(double degrees) {
    if (TruncateToInt(degrees) <= 180)
        return TruncateToInt<int16_t>(degrees * kDegreesTo1e4Rad);
    return TruncateToInt<int16_t>((360.0 - degrees) * -kDegreesTo1e4Rad);
}

bool SameSatellites(const GpsSatellite* a, const GpsSatellite* b, int n) {
    for (int i = 0; i < n; ++i)
        if (a[i].prn != b[i].prn || a[i].azimuth != b[i].azimuth ||
            a[i].elevation != b[i].elevation)
            return false;
    return true;
}
} // namespace

GpsParserState& ParserState() {
    static GpsParserState state;
    return state;
}

void ResetGpsParserState() {
    ParserState() = GpsParserState{};
}

// $GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47
void GPS::ParseGGA(const char* sentence, GpsSnapshot* fix) {
    if (!fix || !fix->position || !NmeaAccept(sentence, "$GPGGA"))
        return;
    MarkDataReceived();
    NmeaFields f(sentence);
    GpsPosition& pos = *fix->position;
    if (!f.Empty(2)) {
        pos.latitude = DegreesMinutes(f, 2, 2);
        if (f.First(3) == 'S')
            pos.latitude = -pos.latitude;
    }
    if (!f.Empty(4)) {
        pos.longitude = DegreesMinutes(f, 4, 3);
        if (f.First(5) == 'W')
            pos.longitude = -pos.longitude;
    }
    if (f.Empty(6))
        pos.fixMode = kFixModeNoQuality;
    pos.satellitesUsed = static_cast<uint16_t>(f.Int(7));
    if (!f.Empty(9))
        pos.altitude = TruncateToInt(f.Real(9) * kMetresToCm);
    Smooth(pos);
    fix->positionUpdated = 1;
    Post(WM_GPS_POSITION);
}

// $GPGSV,2,1,08,01,40,083,46,02,17,308,41,12,07,344,39,14,22,228,45*75
void GPS::ParseGSV(const char* sentence, GpsSnapshot* fix) {
    if (!fix || !fix->sky || !NmeaAccept(sentence, "$GPGSV"))
        return;
    MarkDataReceived();
    NmeaFields f(sentence);
    GpsParserState& state = ParserState();
    GpsSky& sky = *fix->sky;
    int total = f.Int(1);
    int number = 1;
    if (!f.Empty(2)) {
        number = f.Int(2);
        if (number == 1 || number > 8)
            state.gsvIndex = 0;
    }
    if (f.Empty(3))
        sky.inView = 0;
    GpsSatellite block{};
    for (int first = 4; first <= f.Count(); first += 4) {
        if (!f.Empty(first))
            block.prn = static_cast<uint16_t>(f.Int(first));
        if (!f.Empty(first + 1))
            block.elevation = TruncateToInt<int16_t>(f.Real(first + 1) * kDegreesTo1e4Rad);
        if (!f.Empty(first + 2))
            block.azimuth = Azimuth(f.Real(first + 2));
        // The record holds 12 satellites: further ones of a set (or of a set whose first
        // sentence was lost) are not stored.
        if (state.gsvIndex >= kGpsMaxSatellites)
            continue;
        if (f.Empty(first + 3)) { // no SNR: not tracked
            sky.satellites[state.gsvIndex].prn = 0;
            continue;
        }
        sky.satellites[state.gsvIndex++] = block;
    }
    if (number != total)
        return;
    int count = state.gsvIndex;
    if (count != sky.inView) {
        sky.inView = static_cast<uint16_t>(count);
        Post(WM_GPS_SATELLITES);
    }
    if (count == 0)
        return;
    if (count == state.previousCount && SameSatellites(sky.satellites, state.previous, count))
        return;
    memcpy(state.previous, sky.satellites, sizeof(state.previous));
    state.previousCount = count;
    sky.inView = static_cast<uint16_t>(count);
    fix->satellitesUpdated = 1;
    Post(WM_GPS_SATELLITES);
}

// $GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1*39
void GPS::ParseGSA(const char* sentence, GpsSnapshot* fix) {
    if (!fix || !fix->position || !fix->sky || !fix->active || !NmeaAccept(sentence, "$GPGSA"))
        return;
    MarkDataReceived();
    gsaSeen = 1;
    NmeaFields f(sentence);
    fix->position->fixMode = static_cast<uint16_t>(f.Int(2));
    for (int slot = 0; slot < kGpsMaxSatellites; ++slot) {
        auto& s = fix->active->slots[slot];
        if (f.Empty(3 + slot)) {
            s.state = 0;
        } else {
            s.prn = static_cast<uint16_t>(f.Int(3 + slot));
            s.state = kActiveSatUsed;
        }
    }
    fix->sky->pdop = TruncateToInt<uint16_t>(f.Real(15) * kDopFactor);
    fix->sky->hdop = TruncateToInt<uint16_t>(f.Real(16) * kDopFactor);
    fix->sky->vdop = TruncateToInt<uint16_t>(f.Real(17) * kDopFactor);
}

// $GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A
void GPS::ParseRMC(const char* sentence, GpsSnapshot* fix) {
    if (!fix || !fix->position || !NmeaAccept(sentence, "$GPRMC"))
        return;
    MarkDataReceived();
    NmeaFields f(sentence);
    GpsParserState& state = ParserState();
    GpsPosition& pos = *fix->position;
    pos.hour = static_cast<uint16_t>(f.IntAt(1, 0, 2));
    pos.minute = static_cast<uint16_t>(f.IntAt(1, 2, 2));
    pos.second = static_cast<uint16_t>(f.IntAt(1, 4, 2));
    bool trusted = false;
    if (f.First(2) == 'A') {
        if (state.rmcValid < kRmcTrusted)
            ++state.rmcValid;
        else
            trusted = true;
    } else if (!f.Empty(2)) {
        state.rmcValid = 0;
    }
    pos.speed = TruncateToInt<uint32_t>(f.Real(7) * kKnotsToCmS);
    pos.course = TruncateToInt<uint16_t>(f.Real(8) * kDegreesToMrad);
    if (f.Empty(9)) {
        pos.day = pos.month = pos.year = 0;
    } else {
        pos.day = static_cast<uint16_t>(f.IntAt(9, 0, 2));
        pos.month = static_cast<uint16_t>(f.IntAt(9, 2, 2));
        pos.year = static_cast<uint16_t>(2000 + f.IntAt(9, 4, 2));
    }
    SYSTEMTIME t{};
    t.wYear = pos.year;
    t.wMonth = pos.month;
    t.wDay = pos.day;
    t.wHour = pos.hour;
    t.wMinute = pos.minute;
    t.wSecond = pos.second;
    // A date no receiver sends (month 13, day 0) must not become a time stamp.
    bool validDate = t.wMonth >= 1 && t.wMonth <= 12 && t.wDay >= 1 && t.wDay <= 31 &&
                     t.wHour < 24 && t.wMinute < 60 && t.wSecond < 61;
    gpsTimeStamp = trusted && validDate ? MakeTimeStamp(t) : 0;
}
