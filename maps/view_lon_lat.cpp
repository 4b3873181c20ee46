#include "maps/view_lon_lat.h"

#include <algorithm>

#include "views/tracking_view.h"

namespace {

// Offsets from 7500001 on would overflow d x 279 in 32 bits: they are first divided by the
// scale in thousands.
constexpr int32_t kDirectLimit = 7500001;

// d x 279 / s in pixels; the divided form loses a little precision, as it always has.
int64_t OffsetPixels(int32_t d, int32_t s) {
    if (s <= 0)
        return 0;
    if (d > -kDirectLimit && d < kDirectLimit)
        return int64_t(d) * 279 / s;
    if (s < 1000) // the divided form would divide by zero: 64 bits hold the direct one
        return int64_t(d) * 279 / s;
    return int64_t(d / (s / 1000)) * 279 / 1000;
}

// Pixels far off screen stay far off screen: they saturate instead of wrapping around.
int16_t ToInt16(int64_t v) {
    return static_cast<int16_t>(std::clamp<int64_t>(v, INT16_MIN, INT16_MAX));
}

} // namespace

int16_t ViewLonToX(const TrackingView* view, int32_t longitude) {
    int32_t d = static_cast<int32_t>(int64_t(longitude) - view->position.centreLongitude);
    return ToInt16(OffsetPixels(d, view->position.scale) + view->width / 2);
}

int16_t ViewLatToY(const TrackingView* view, int32_t latitude) {
    int32_t d = static_cast<int32_t>(int64_t(latitude) - view->position.centreLatitude);
    return ToInt16(view->height / 2 - OffsetPixels(d, view->position.scale));
}
