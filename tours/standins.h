// Private stand-ins for services of other subsystems that tours needs before they are on main:
// distance and UTM (geo), the recording state in the registry (core), the device profile's
// recording flags (core). Remove each one when the real service lands.
#pragma once
#include <windows.h>
#include <cmath>
#include <cstdint>
#include <cwchar>
#include <string>

#include "core/track_point.h"
#include "platform/program_key.h"

namespace tours_standin {

// Short distances flat, long ones on the great circle, as the geo service will do.
inline double DistanceMetres(const TrackPoint& a, const TrackPoint& b) {
    static int greatCircleMode = 0;
    auto flat = [&] {
        double dx = static_cast<double>(static_cast<int32_t>(static_cast<uint32_t>(a.longitude) -
                                                             static_cast<uint32_t>(b.longitude))) *
                    std::cos(a.latitude * 1e-8);
        double dy = static_cast<double>(a.latitude) - b.latitude;
        return std::sqrt(dx * dx + dy * dy) * 0.06378137;
    };
    if (greatCircleMode == 0) {
        double d = flat();
        if (d < 100000.0)
            return d;
        greatCircleMode = 1;
    }
    double p1 = a.latitude * 1e-8, p2 = b.latitude * 1e-8;
    double dl = (static_cast<double>(b.longitude) - a.longitude) * 1e-8;
    double c = std::cos(dl) * std::cos(p2) * std::cos(p1) + std::sin(p2) * std::sin(p1);
    double d = std::acos(c > 1.0 ? 1.0 : (c < -1.0 ? -1.0 : c)) * 6378137.0;
    if (d >= 100000.0)
        return d;
    greatCircleMode = 0;
    return flat();
}

// WGS84 UTM with the zone chosen from the longitude.
inline void FillUtm(TrackPoint* p) {
    const double kPi = 3.14159265358979323846;
    const double kA = 6378137.0, kF = 1.0 / 298.257223563, kK0 = 0.9996;
    const double e2 = kF * (2 - kF), ep2 = e2 / (1 - e2);
    const double lat = p->latitude * 1e-8, lon = p->longitude * 1e-8;
    const double latDeg = lat * 180.0 / kPi, lonDeg = lon * 180.0 / kPi;
    int zone = static_cast<int>(std::floor((lonDeg + 180.0) / 6.0)) + 1;
    if (zone < 1 || zone > 60)
        zone = zone < 1 ? 1 : 60;
    const double lon0 = ((zone - 1) * 6 - 180 + 3) * kPi / 180.0;
    const double s = std::sin(lat), c = std::cos(lat), t = std::tan(lat);
    const double n = kA / std::sqrt(1 - e2 * s * s), tt = t * t, cc = ep2 * c * c;
    const double a = c * (lon - lon0);
    const double e4 = e2 * e2, e6 = e4 * e2;
    const double m = kA * ((1 - e2 / 4 - 3 * e4 / 64 - 5 * e6 / 256) * lat -
                           (3 * e2 / 8 + 3 * e4 / 32 + 45 * e6 / 1024) * std::sin(2 * lat) +
                           (15 * e4 / 256 + 45 * e6 / 1024) * std::sin(4 * lat) -
                           (35 * e6 / 3072) * std::sin(6 * lat));
    const double east = kK0 * n *
                            (a + (1 - tt + cc) * a * a * a / 6 +
                             (5 - 18 * tt + tt * tt + 72 * cc - 58 * ep2) * std::pow(a, 5) / 120) +
                        500000.0;
    double north =
        kK0 * (m + n * t *
                       (a * a / 2 + (5 - tt + 9 * cc + 4 * cc * cc) * std::pow(a, 4) / 24 +
                        (61 - 58 * tt + tt * tt + 600 * cc - 330 * ep2) * std::pow(a, 6) / 720));
    if (lat < 0)
        north += 10000000.0;
    static const char kBands[] = "CDEFGHJKLMNPQRSTUVWXX";
    int band = static_cast<int>(std::floor((latDeg + 80.0) / 8.0));
    p->utmEasting = std::isfinite(east) ? static_cast<int32_t>(east) : 0;
    p->utmNorthing = std::isfinite(north) ? static_cast<int32_t>(north) : 0;
    p->utmZone = static_cast<uint16_t>(zone);
    p->utmBand = static_cast<uint16_t>(band >= 0 && band < 21 ? kBands[band] : 'Z');
}

// The recording state kept under the program key ("CurTour", "TourPoint", "Duration",
// "Distance"); readers never create the key.
struct RecordingState {
    std::wstring path; // "CurTour" without its extension
    DWORD pointCounter = 0, startTime = 0, distance = 0;
};

inline DWORD ReadDword(HKEY key, const wchar_t* name) {
    DWORD v = 0, size = sizeof(v), type = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&v), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD)
        return 0;
    return v;
}

inline RecordingState ReadCurrentTourState() {
    RecordingState state;
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, ProgramKeyPath(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return state;
    wchar_t path[261] = {};
    DWORD size = sizeof(path) - sizeof(wchar_t), type = 0;
    if (RegQueryValueExW(key, L"CurTour", nullptr, &type, reinterpret_cast<BYTE*>(path), &size) ==
            ERROR_SUCCESS &&
        type == REG_SZ) {
        state.path = path;
        size_t dot = state.path.find_last_of(L'.');
        if (dot != std::wstring::npos)
            state.path.resize(dot);
    }
    state.pointCounter = ReadDword(key, L"TourPoint");
    state.startTime = ReadDword(key, L"Duration");
    state.distance = ReadDword(key, L"Distance");
    RegCloseKey(key);
    return state;
}

inline void SaveTourState(const RecordingState* state) {
    HKEY key;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, ProgramKeyPath(), 0, nullptr, 0, KEY_WRITE, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return;
    DWORD values[3] = {state ? state->pointCounter : 0, state ? state->startTime : 0,
                       state ? state->distance : 0};
    const wchar_t* names[3] = {L"TourPoint", L"Duration", L"Distance"};
    for (int i = 0; i < 3; ++i)
        RegSetValueExW(key, names[i], 0, REG_DWORD, reinterpret_cast<const BYTE*>(&values[i]),
                       sizeof(DWORD));
    RegCloseKey(key);
}

inline void SaveCurrentTour(const wchar_t* path, const RecordingState* state) {
    HKEY key;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, ProgramKeyPath(), 0, nullptr, 0, KEY_WRITE, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return;
    const wchar_t* text = path ? path : L"";
    RegSetValueExW(key, L"CurTour", 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                   static_cast<DWORD>((wcslen(text) + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    SaveTourState(state);
}

// Deletes the tour's subkey "Tour\<name>" of the program key; a missing key is no error.
inline void DeleteTourSubkey(const wchar_t* name) {
    std::wstring sub = std::wstring(ProgramKeyPath()) + L"\\Tour\\" + name;
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, sub.c_str());
}

// The device profile's time-record word and recording-paused option bit.
inline int& TimeRecordWord() {
    static int word = 0;
    return word;
}
inline bool RecordingPaused() {
    return false;
}

} // namespace tours_standin
