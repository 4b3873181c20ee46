// The .TUR record stream: little-endian 32-bit words, appended to and patched in place.
//
// Header as written by every writer of a new file (byte offsets):
//   0   -3, creation time stamp
//   8   -7, 0, 48, properties record (48 bytes: COLORREF, display word, date text[20], 0)
//   68  -7, 0, 16, bounds {lonmin, latmax, lonmax, latmin}       (from version 8)
//   96  -8, 0, 4, absolute offset of the tour description block (0 = none)
//   112 -5, 9
//   120 segments: -6 header, then points, labels, marks and text blocks
//
// Records (tag, whole length in words):
//   -1 segment end 4 | -2 time mark 2 | -3 file start 2 | -4 fix quality 2 | -5 version 2
//   -6 segment header 6 (cell box, byte length of the content, 0 while open)
//   -7 data block / -8 link or description block: 3 + byte length / 4
//   -9 relocated copy: a point's length + its waypoint record
//   (w0 & 0x9FFFFFFF) == 0x9FFFFFF6: deleted point
//   any other w0: a point of 9 words (8 for versions 5 and 6, 5 before 5), then one extra word
//   when bit 29, then a waypoint record when bit 30.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "core/track_point.h"

namespace tur {

constexpr int32_t kTagSegmentEnd = -1;
constexpr int32_t kTagTimeMark = -2;
constexpr int32_t kTagFileStart = -3;
constexpr int32_t kTagFixQuality = -4;
constexpr int32_t kTagVersion = -5;
constexpr int32_t kTagSegment = -6;
constexpr int32_t kTagDataBlock = -7;
constexpr int32_t kTagLinkBlock = -8;
constexpr int32_t kTagRelocated = -9;

constexpr uint32_t kDeletedMask = 0x9FFFFFFF;
constexpr uint32_t kDeletedMark = 0x9FFFFFF6;
constexpr uint32_t kDeletedCopy = 0xDFFFFFF6; // a deleted -9 copy

constexpr int32_t kVersion = 9;
constexpr int32_t kVersionWithoutRecord = 5; // a file without a -5 record

// Point flags (w0).
constexpr uint32_t kPointNumberMask = 0x03FFFFFF;
constexpr uint32_t kFlagIsolated = 1u << 26;
constexpr uint32_t kFlagBreak = 1u << 27; // no distance from the previous point
constexpr uint32_t kFlagRelocated = 1u << 28;
constexpr uint32_t kFlagExtraWord = 1u << 29;
constexpr uint32_t kFlagWaypoint = 1u << 30;
constexpr uint32_t kFlagNoSatellites = 1u << 31;
constexpr uint32_t kPoiPointFlags = kFlagWaypoint | kFlagIsolated;

// Waypoint record header.
constexpr uint32_t kWaypointTypeMask = 0x1FFFFFFF;
constexpr uint32_t kWaypointDeleted = 1u << 29;
constexpr uint32_t kWaypointHasDescription = 1u << 30;
constexpr uint32_t kWaypointHasName = 1u << 31;
constexpr uint32_t kTypeText = 521;
constexpr uint32_t kTypePicture = 522;
constexpr uint32_t kTypeDateMark = 535;
constexpr uint32_t kTypeNamedSymbol = 4095;
constexpr uint32_t kLabelSymbol = 0xC0000FFF;    // 48 bytes: header, 2 links, word, name[32]
constexpr uint32_t kLabelTimeStamp = 0xC0000217; // 16 bytes: header, 2 links, time stamp
constexpr size_t kSymbolNameBytes = 32;
constexpr char kTimeStampSymbol[] = " TimeStamp";

// Header offsets.
constexpr uint32_t kPropertiesBlockOffset = 8;
constexpr uint32_t kPropertiesBytes = 48;
constexpr uint32_t kBoundsBlockOffset = 68;
constexpr uint32_t kLinkBlockOffset = 96;
constexpr uint32_t kDescriptionLinkOffset = 108;
constexpr uint32_t kHeaderBytes = 120;
constexpr uint32_t kSegmentHeaderBytes = 24;
constexpr uint32_t kSegmentLengthOffset = 20; // within the segment header
constexpr uint16_t kDisplayPoiFile = 0x100;
constexpr size_t kDateChars = 20;

// Grid of 58178 units of 1e-8 rad (2 arc-minutes) on both axes.
constexpr int32_t kCellSize = 58178;
constexpr int32_t kEmptyLonMin = 523598775; // +300 degrees: no point yet
constexpr int32_t kEmptyLatMax = -523598775;

struct Box {
    int32_t lonMin, latMax, lonMax, latMin;
};
constexpr Box kEmptyBox = {kEmptyLonMin, kEmptyLatMax, kEmptyLatMax, kEmptyLonMin};

bool IsEmptyBox(const Box& box);
bool Contains(const Box& box, int32_t lon, int32_t lat);
void Widen(Box* box, const Box& by);
// The cell of a position: floor to a multiple of kCellSize, maximum = minimum + kCellSize - 1.
Box CellOf(int32_t lon, int32_t lat);

// Point length in words for a format version (without extra word and waypoint record).
int PointWords(int version);
// Length in words of a waypoint record with this header word.
int WaypointWords(uint32_t header, int version);
// Bytes of a text block's data: UTF-16 with terminator, rounded up to a multiple of 4.
uint32_t TextBlockBytes(size_t chars);

inline bool IsDeleted(uint32_t w0) {
    return (w0 & kDeletedMask) == kDeletedMark;
}

inline uint32_t GetU32(const uint8_t* p) {
    return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}
inline int32_t GetI32(const uint8_t* p) {
    return static_cast<int32_t>(GetU32(p));
}
inline void PutU32(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
    p[3] = static_cast<uint8_t>(v >> 24);
}

// Fills the UTM words of a point from its position (the position's own zone).
void FillUtm(TrackPoint* point);

} // namespace tur

// A new point record for a position (altitude kNoAltitude: none) with its UTM words.
TrackPoint* MakePointRecord(TrackPoint* out, int32_t longitude, int32_t latitude, int32_t altitude);

namespace tur {

// A point as its 9 file words (version 9 layout) and back.
void PointToWords(const TrackPoint& point, uint32_t words[9]);
// Reads a point of `version` from its words; fields the version lacks stay as initialised.
// Inline: every point of every read passes here.
inline TrackPoint PointFromWords(const uint32_t* w, int version) {
    TrackPoint p{};
    p.altitude = kNoAltitude;
    p.flags = w[0];
    p.longitude = static_cast<int32_t>(w[1]);
    p.latitude = static_cast<int32_t>(w[2]);
    p.altitude = static_cast<int32_t>(w[3]);
    p.speed = static_cast<uint16_t>(w[4]);
    p.fixMode = static_cast<uint8_t>(w[4] >> 16);
    p.satellites = static_cast<uint8_t>(w[4] >> 24);
    if (version >= 5) {
        p.utmEasting = static_cast<int32_t>(w[5]);
        p.utmNorthing = static_cast<int32_t>(w[6]);
        p.utmZone = static_cast<uint16_t>(w[7]);
        p.utmBand = static_cast<uint16_t>(w[7] >> 16);
    }
    if (version >= 7)
        p.time = w[8];
    return p;
}

} // namespace tur
