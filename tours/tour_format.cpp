#include "tours/tour_format.h"

#include <algorithm>

#include "core/truncate.h"
#include "geo/utm.h"

namespace tur {

namespace {

// 64-bit so that a damaged coordinate near the int32 limits cannot overflow.
int64_t CellMin(int32_t v) {
    int64_t q = v / kCellSize;
    if (v % kCellSize != 0 && v < 0)
        --q;
    return q * kCellSize;
}

int32_t Clamp32(int64_t v) {
    return static_cast<int32_t>(std::min<int64_t>(std::max<int64_t>(v, INT32_MIN), INT32_MAX));
}

} // namespace

bool IsEmptyBox(const Box& box) {
    return box.lonMin == kEmptyLonMin && box.latMin == kEmptyLonMin && box.lonMax == kEmptyLatMax &&
           box.latMax == kEmptyLatMax;
}

bool Contains(const Box& box, int32_t lon, int32_t lat) {
    return lon >= box.lonMin && lon <= box.lonMax && lat >= box.latMin && lat <= box.latMax;
}

void Widen(Box* box, const Box& by) {
    box->lonMin = std::min(box->lonMin, by.lonMin);
    box->latMin = std::min(box->latMin, by.latMin);
    box->lonMax = std::max(box->lonMax, by.lonMax);
    box->latMax = std::max(box->latMax, by.latMax);
}

Box CellOf(int32_t lon, int32_t lat) {
    const int64_t lonMin = CellMin(lon), latMin = CellMin(lat);
    Box cell;
    cell.lonMin = Clamp32(lonMin);
    cell.latMin = Clamp32(latMin);
    cell.lonMax = Clamp32(lonMin + (kCellSize - 1));
    cell.latMax = Clamp32(latMin + (kCellSize - 1));
    return cell;
}

int PointWords(int version) {
    if (version >= 7)
        return 9;
    return version >= 5 ? 8 : 5;
}

int WaypointWords(uint32_t header, int version) {
    int words = 1;
    if (version >= 6) {
        words += (header & kWaypointHasDescription) ? 1 : 0;
        words += (header & kWaypointHasName) ? 1 : 0;
    }
    switch (header & kWaypointTypeMask) {
    case kTypeText:
    case kTypePicture:
        return words + 2;
    case kTypeDateMark:
        return words + 1;
    case kTypeNamedSymbol:
        return words + 9;
    default:
        return words;
    }
}

uint32_t TextBlockBytes(size_t chars) {
    size_t bytes = (chars + 1) * 2;
    return static_cast<uint32_t>((bytes + 3) & ~size_t{3});
}

void FillUtm(TrackPoint* p) {
    cUTM utm(p->latitude, p->longitude);
    p->utmEasting = TruncateToInt(utm.easting);
    p->utmNorthing = TruncateToInt(utm.northing);
    p->utmZone = utm.zone;
    p->utmBand = static_cast<uint16_t>(static_cast<unsigned char>(utm.band));
}

void PointToWords(const TrackPoint& p, uint32_t w[9]) {
    w[0] = p.flags;
    w[1] = static_cast<uint32_t>(p.longitude);
    w[2] = static_cast<uint32_t>(p.latitude);
    w[3] = static_cast<uint32_t>(p.altitude);
    w[4] = uint32_t{p.speed} | uint32_t{p.fixMode} << 16 | uint32_t{p.satellites} << 24;
    w[5] = static_cast<uint32_t>(p.utmEasting);
    w[6] = static_cast<uint32_t>(p.utmNorthing);
    w[7] = uint32_t{p.utmZone} | uint32_t{p.utmBand} << 16;
    w[8] = p.time;
}

} // namespace tur

TrackPoint* MakePointRecord(TrackPoint* out, int32_t longitude, int32_t latitude,
                            int32_t altitude) {
    InitTrackPoint(out);
    out->longitude = longitude;
    out->latitude = latitude;
    out->altitude = altitude;
    tur::FillUtm(out);
    return out;
}
