#include "geo/wgs84_projection.h"

#include "core/truncate.h"

Wgs84Projection::Wgs84Projection() {
    SetNames("WGS84");
}

bool Wgs84Projection::WriteParams(FILE* file) const {
    return WriteRefPoints(file);
}

int Wgs84Projection::Setup(int, int) {
    dx = dy = dE = dN = 0;
    if (!CopyBasePoints())
        return 0;
    rotation = 0.0;
    if (!DifferencesNonZero()) {
        dx = dy = dE = dN = 0;
        return 0;
    }
    scale = dN * 0.06378137 / dy;
    return 1;
}

// Uncalibrated: (100, 100).
PixelPoint Wgs84Projection::GeoToPixel(const TrackPoint& pos, bool hundredths) const {
    if (dE == 0 || dN == 0)
        return {100, 100};
    const double f = hundredths ? 100.0 : 1.0;
    const RefPoint& p0 = *paramBlock;
    const double lon = static_cast<double>(pos.longitude) - p0.longitude;
    const double lat = static_cast<double>(pos.latitude) - p0.latitude;
    return {OffsetTruncated(p0.x, lon * dx / dE * f), OffsetTruncated(p0.y, lat * dy / dN * f)};
}

TrackPoint Wgs84Projection::PixelToGeo(int32_t x, int32_t y, bool hundredths) const {
    TrackPoint result{};
    if (dx == 0 || dy == 0)
        return result;
    const double f = hundredths ? 100.0 : 1.0;
    const RefPoint& p0 = *paramBlock;
    result.longitude = OffsetTruncated(p0.longitude, (static_cast<double>(x) - p0.x) * dE / dx / f);
    result.latitude = OffsetTruncated(p0.latitude, (static_cast<double>(y) - p0.y) * dN / dy / f);
    return result;
}
