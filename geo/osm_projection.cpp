#include "geo/osm_projection.h"

#include "core/truncate.h"
#include "geo/angles.h"

#include <cmath>

namespace {
constexpr int kMaxZoom = 21;
constexpr int32_t kZoomZeroScale = 442368000;
} // namespace

double MercatorY(int32_t latitude) {
    const double phi = latitude * kAngleToRadians;
    return std::log(1.0 / std::cos(phi) + std::tan(phi));
}

int32_t ZoomToScale(int zoom) {
    zoom = zoom < 0 ? 0 : (zoom > kMaxZoom ? kMaxZoom : zoom);
    return kZoomZeroScale / (int32_t{1} << zoom);
}

int ScaleToZoom(double scale) {
    // The tiny allowance keeps exact powers of two from landing a step low through rounding
    // of the logarithms.
    const int zoom = TruncateToInt(std::log(4.42368e8 / scale) / std::log(2.0) + 1e-9);
    return zoom < 0 ? 0 : (zoom > kMaxZoom ? kMaxZoom : zoom);
}

OsmProjection::OsmProjection() {
    SetNames("OSM");
}

// Single precision throughout, so that the pixels match those the tile maths of the device
// gives.
PixelPoint OsmProjection::GeoToPixel(const TrackPoint& pos, bool hundredths) const {
    if (xScale() == 0.0 || yScale() == 0.0 || !refPoints)
        return {0, 0};
    const float f = hundredths ? 100.0f : 1.0f;
    const RefPoint& p0 = *refPoints;
    const float lon = static_cast<float>(static_cast<double>(pos.longitude) - p0.longitude);
    const float x = lon * 0.06378137f / static_cast<float>(xScale()) * f;
    const double s = std::sin(pos.latitude * kAngleToRadians);
    const double psi = 0.5 * std::log((1.0 + s) / (1.0 - s));
    const float y =
        static_cast<float>(y0merc - psi) * 6378137.0f / static_cast<float>(yScale()) * f;
    return {OffsetTruncated(p0.x, x), OffsetTruncated(p0.y, y)};
}

TrackPoint OsmProjection::PixelToGeo(int32_t x, int32_t y, bool hundredths) const {
    TrackPoint result{};
    if (xScale() == 0.0 || yScale() == 0.0 || !refPoints)
        return result;
    const double f = hundredths ? 100.0 : 1.0;
    const RefPoint& p0 = *refPoints;
    result.longitude = OffsetTruncated(p0.longitude, (static_cast<double>(x) - p0.x) * xScale() *
                                                         kDegreesToAngle / kOsmMetresPerDegree / f);
    // The pixel offset is scaled by f, not the latitude: hundredths of a pixel give the same
    // position as whole pixels.
    const double psi =
        (static_cast<double>(p0.y) - y) / f * yScale() * kPi / kOsmMetresPerDegree / 180.0 +
        y0merc;
    result.latitude = TruncateToInt(std::atan(std::sinh(psi)) * 1e8);
    return result;
}

bool OsmProjection::WriteParams(FILE* file) const {
    const double scales[2] = {xScale(), yScale()};
    return WriteParamHeader(file, 6, 16) && WriteDoubles(file, scales, 2) &&
           WriteParamTrailer(file) && WriteRefPoints(file);
}

int OsmProjection::Setup(int, int) {
    dx = dy = dE = dN = 0;
    if (!refPoints || !refPoints->next || xScale() == 0.0 || yScale() == 0.0)
        return 0;
    RefPoint* first = refPoints;
    RefPoint* second = refPoints->next;
    y0merc = MercatorY(first->latitude);
    const TrackPoint top = PixelToGeo(second->x, 0);
    second->longitude = top.longitude;
    second->latitude = top.latitude;
    CopyBasePoints();
    rotation = 0.0;
    TrackPoint at{};
    at.longitude = first->longitude;
    at.latitude = first->latitude;
    const int32_t row1 = GeoToPixel(at).y;
    at.latitude = second->latitude;
    const int32_t row2 = GeoToPixel(at).y;
    scale = (static_cast<double>(second->latitude) - first->latitude) * 0.06378137;
    if (row2 != row1)
        scale /= static_cast<double>(row2) - row1;
    return 1;
}

double OsmProjection::GetScale(int32_t latitude) const {
    if (latitude == 0)
        return scale;
    return xScale() * std::cos(latitude * kAngleToRadians);
}
