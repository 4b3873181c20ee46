#include "geo/projection.h"

#include "core/truncate.h"
#include "geo/angles.h"
#include "geo/utm.h"

#include <cmath>
#include <cstring>

namespace {
constexpr int32_t kTagRefPoint = -258;
constexpr double kFalseNorthing = 10000000.0;

bool IsSouthernBand(int band) {
    return band > 0 && band < 'N';
}
} // namespace

int32_t OffsetTruncated(int32_t base, double delta) {
    return TruncateToInt(static_cast<double>(base) +
                         static_cast<double>(TruncateToInt<int64_t>(delta)));
}

bool WriteWords(FILE* file, const int32_t* words, size_t count) {
    if (!file)
        return false;
    for (size_t i = 0; i < count; ++i) {
        const uint32_t v = static_cast<uint32_t>(words[i]);
        const unsigned char bytes[4] = {
            static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
            static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 24)};
        if (fwrite(bytes, 1, 4, file) != 4)
            return false;
    }
    return true;
}

bool WriteDoubles(FILE* file, const double* values, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        uint64_t bits;
        std::memcpy(&bits, &values[i], sizeof bits);
        const int32_t words[2] = {static_cast<int32_t>(static_cast<uint32_t>(bits)),
                                  static_cast<int32_t>(static_cast<uint32_t>(bits >> 32))};
        if (!WriteWords(file, words, 2))
            return false;
    }
    return true;
}

bool WriteParamHeader(FILE* file, int32_t kind, int32_t byteCount) {
    const int32_t words[3] = {-259, kind, byteCount};
    return WriteWords(file, words, 3);
}

bool WriteParamTrailer(FILE* file) {
    const int32_t words[4] = {-260, 1, -261, 0};
    return WriteWords(file, words, 4);
}

Projection::Projection() : paramBlock(new RefPoint) {
    paramBlock->next = new RefPoint;
}

Projection::~Projection() {
    delete paramBlock->next;
    delete paramBlock;
}

void Projection::SetNames(const char* projectionName) {
    snprintf(name, sizeof name, "%s", projectionName);
    snprintf(datum, sizeof datum, "%s", "WGS84");
}

bool Projection::CopyBasePoints() {
    if (!refPoints || !refPoints->next)
        return false;
    RefPoint* second = paramBlock->next;
    *paramBlock = *refPoints;
    *second = *refPoints->next;
    paramBlock->next = second;
    second->next = nullptr;
    dx = paramBlock->x - second->x;
    dy = paramBlock->y - second->y;
    dE = paramBlock->longitude - second->longitude;
    dN = paramBlock->latitude - second->latitude;
    return true;
}

// The base conversions are the UTM similarity transform: the parameter block holds the first
// two reference points as easting, northing, zone and band.
PixelPoint Projection::GeoToPixel(const TrackPoint& pos, bool hundredths) const {
    if (dE == 0 || dN == 0 || scale == 0.0)
        return {0, 0};
    const int zone = paramBlock->extra[0];
    double e, n;
    int band;
    if (pos.utmEasting != 0 && (pos.longitude == 0 || pos.latitude == 0 || pos.utmZone == zone)) {
        e = pos.utmEasting;
        n = pos.utmNorthing;
        band = pos.utmBand;
    } else {
        cUTM utm(pos.latitude, pos.longitude, zone);
        e = utm.easting;
        n = utm.northing;
        band = static_cast<unsigned char>(utm.band);
    }
    if (IsSouthernBand(band))
        n -= kFalseNorthing;
    const double f = hundredths ? 100.0 : 1.0;
    const double de = e - paramBlock->longitude;
    const double dn = n - paramBlock->latitude;
    return {OffsetTruncated(paramBlock->x, (cosNegRot * de - sinNegRot * dn) / scale * f),
            OffsetTruncated(paramBlock->y, (sinNegRot * de + cosNegRot * dn) / scale * f)};
}

TrackPoint Projection::PixelToGeo(int32_t x, int32_t y, bool hundredths) const {
    TrackPoint result{};
    if (dx == 0 || dy == 0)
        return result;
    const double f = hundredths ? 100.0 : 1.0;
    const double px = (static_cast<double>(x) - paramBlock->x) * scale / f;
    const double py = (static_cast<double>(y) - paramBlock->y) * scale / f;
    const int32_t e = OffsetTruncated(paramBlock->longitude, cosRot * px - sinRot * py);
    int32_t n = OffsetTruncated(paramBlock->latitude, sinRot * px + cosRot * py);
    char band = 'N';
    if (n < 0) {
        n += static_cast<int32_t>(kFalseNorthing);
        band = 'M';
    }
    const int zone = paramBlock->extra[0];
    cUTM utm;
    utm.SetUtm(e, zone, n, band);
    result.longitude = TruncateToInt(utm.longitude * kDegreesToAngle);
    result.latitude = TruncateToInt(utm.latitude * kDegreesToAngle);
    result.utmEasting = e;
    result.utmNorthing = n;
    result.utmZone = static_cast<uint16_t>(zone);
    result.utmBand = static_cast<uint16_t>(band);
    return result;
}

GeoPair Projection::PixelToPoint(int32_t x1, int32_t y1, int32_t x2, int32_t y2) const {
    const TrackPoint a = PixelToGeo(x1, y1);
    const TrackPoint b = PixelToGeo(x2, y2);
    return {a.longitude, a.latitude, b.longitude, b.latitude};
}

double Projection::GetScale(int32_t) const {
    return scale;
}

void Projection::GeoToGrid(double, double, double* gx, double* gy) const {
    *gx = 100.0;
    *gy = 100.0;
}

PixelPoint Projection::GetRefPointPixel(int index) const {
    const RefPoint* p = refPoints;
    for (int i = 0; p && i < index; ++i)
        p = p->next;
    if (!p || index < 0)
        return {-1, -1};
    return {p->x, p->y};
}

PixelPoint Projection::RefPointPixel3() const {
    const PixelPoint p = GetRefPointPixel(2);
    if (p.x == -1 && p.y == -1 && RefPointCount() < 3)
        return {10, 10};
    return p;
}

int Projection::RefPointCount() const {
    int count = 0;
    for (const RefPoint* p = refPoints; p; p = p->next)
        ++count;
    return count;
}

bool Projection::WriteRefPoints(FILE* file) const {
    for (const RefPoint* p = refPoints; p; p = p->next) {
        const int32_t words[5] = {kTagRefPoint, p->x, p->y, p->longitude, p->latitude};
        if (!WriteWords(file, words, 5))
            return false;
    }
    return true;
}
