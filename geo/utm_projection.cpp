#include "geo/utm_projection.h"

#include "core/truncate.h"
#include "geo/utm.h"

#include <cmath>
#include <cstdlib>

namespace {
// Easting, northing (false northing removed in the south), zone and band of one point.
void StoreUtm(RefPoint* target, const RefPoint& source, const cUTM& utm) {
    target->x = source.x;
    target->y = source.y;
    target->longitude = TruncateToInt(utm.easting);
    int32_t northing = TruncateToInt(utm.northing);
    if (utm.band < 'N')
        northing -= 10000000;
    target->latitude = northing;
    target->extra[0] = utm.zone;
    target->extra[1] = static_cast<uint8_t>(utm.band);
}
} // namespace

UtmProjection::UtmProjection() {
    SetNames("UTM");
}

bool UtmProjection::WriteParams(FILE* file) const {
    return WriteRefPoints(file);
}

int UtmProjection::Setup(int, int) {
    dx = dy = dE = dN = 0;
    if (!refPoints || !refPoints->next)
        return 0;
    const RefPoint& p1 = *refPoints;
    const RefPoint& p2 = *refPoints->next;
    cUTM first(p1.latitude, p1.longitude);
    cUTM secondOwn(p2.latitude, p2.longitude);
    if (std::abs(static_cast<int>(first.zone) - static_cast<int>(secondOwn.zone)) >= 2)
        return 0;
    cUTM second(p2.latitude, p2.longitude, first.zone);
    RefPoint* block2 = paramBlock->next;
    StoreUtm(paramBlock, p1, first);
    StoreUtm(block2, p2, second);
    const int32_t ddx = paramBlock->x - block2->x, ddy = paramBlock->y - block2->y;
    const int32_t dde = paramBlock->longitude - block2->longitude;
    const int32_t ddn = paramBlock->latitude - block2->latitude;
    if (ddx == 0 || ddy == 0 || dde == 0 || ddn == 0)
        return 0;
    dx = ddx;
    dy = ddy;
    dE = dde;
    dN = ddn;
    const double pixels2 = static_cast<double>(dx) * dx + static_cast<double>(dy) * dy;
    const double grid2 = static_cast<double>(dE) * dE + static_cast<double>(dN) * dN;
    scale = std::sqrt(grid2 / pixels2);
    rotation = std::atan(static_cast<double>(dN) / dE) - std::atan(static_cast<double>(dy) / dx);
    gridAngle = std::atan(static_cast<double>(dN) / dE);
    pixelAngle = std::atan(static_cast<double>(dy) / dx);
    sinNegRot = std::sin(-rotation);
    cosNegRot = std::cos(-rotation);
    sinRot = std::sin(rotation);
    cosRot = std::cos(rotation);
    return 1;
}
