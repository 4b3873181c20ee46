#include "geo/affine_projection.h"

#include "core/truncate.h"
#include "geo/angles.h"

#include <cmath>

namespace {
constexpr int32_t kWrapFrom = 287979326; // 165 degrees
} // namespace

PixelPoint AffineProjection::GeoToPixel(const TrackPoint& pos, bool hundredths) const {
    double lon = pos.longitude;
    // Maps across the date line: keep positions on the side of the first reference point.
    if (refPoints) {
        if (refPoints->longitude > kWrapFrom && pos.longitude < 0)
            lon += kAngleTwoPi;
        else if (refPoints->longitude < -kWrapFrom && pos.longitude > 0)
            lon -= kAngleTwoPi;
    }
    double gx, gy;
    GeoToGrid(lon, pos.latitude, &gx, &gy);
    const double* a = gridToPixel;
    const double f = hundredths ? 100.0 : 1.0;
    return {TruncateToInt((a[0] * gx + a[1] * gy + a[4]) * f),
            TruncateToInt((a[2] * gx + a[3] * gy + a[5]) * f)};
}

TrackPoint AffineProjection::PixelToGeo(int32_t x, int32_t y, bool hundredths) const {
    TrackPoint result{};
    const double* b = pixelToGrid;
    if (b[0] == 0.0 && b[1] == 0.0 && b[2] == 0.0 && b[3] == 0.0)
        return result;
    const double f = hundredths ? 100.0 : 1.0;
    const double px = x / f, py = y / f;
    const double gx = (b[0] * px + b[1] * py + b[4]) * 1e-8;
    const double gy = (b[2] * px + b[3] * py + b[5]) * 1e-8;
    double lambda, phi;
    GridToGeo(gx, gy, &lambda, &phi);
    result.longitude = TruncateToInt(lambda * 1e8);
    result.latitude = TruncateToInt(phi * 1e8);
    return result;
}

void AffineProjection::ResetCalibration() {
    dx = dy = dE = dN = 0;
    for (int i = 0; i < 6; ++i)
        gridToPixel[i] = pixelToGrid[i] = 0.0;
}

double AffineProjection::ScaleAfterSetup() const {
    double s = dN * 0.06378137;
    if (dy != 0)
        s /= dy;
    return s;
}

double AffineProjection::ScaleFromRows() const {
    const RefPoint& p1 = *paramBlock;
    const RefPoint& p2 = *paramBlock->next;
    TrackPoint at{};
    at.longitude = p1.longitude;
    at.latitude = p1.latitude;
    const int32_t row1 = GeoToPixel(at).y;
    at.latitude = p2.latitude;
    const int32_t row2 = GeoToPixel(at).y;
    double s = (static_cast<double>(p2.latitude) - p1.latitude) * 0.06378137;
    if (row1 != row2)
        s /= static_cast<double>(row2) - row1;
    return s;
}

int AffineProjection::FinishSetup() {
    rotation = 0.0;
    if (!DifferencesNonZero()) {
        ResetCalibration();
        return 0;
    }
    scale = ScaleAfterSetup();
    return 1;
}

int AffineProjection::Setup(int, int) {
    // Fewer than three points are left in place; Calibrate then tells the user.
    ChooseBasePoints(this);
    CopyBasePoints();
    if (!Calibrate()) {
        ResetCalibration();
        return 0;
    }
    return FinishSetup();
}

bool AffineProjection::WriteAngleParams(FILE* file, int32_t kind, const int32_t* angles,
                                        size_t count) const {
    return WriteParamHeader(file, kind, static_cast<int32_t>(4 * count)) &&
           WriteWords(file, angles, count) && WriteParamTrailer(file) && WriteRefPoints(file);
}
