#include "maps/projection_standin.h"

#include <cmath>
#include <cstring>

namespace mapstandin {

Projection::Projection() = default;
Projection::~Projection() = default;

int Projection::Setup(int32_t, int32_t) {
    RefPoint* a = refPoints;
    RefPoint* b = a ? a->next : nullptr;
    if (!a || !b || a->x == b->x || a->y == b->y)
        return 0;
    lonPerPixel_ = double(b->longitude - a->longitude) / (b->x - a->x);
    latPerPixel_ = double(b->latitude - a->latitude) / (b->y - a->y);
    lon0_ = a->longitude;
    lat0_ = a->latitude;
    x0_ = a->x;
    y0_ = a->y;
    scale = std::fabs(latPerPixel_) * 1e-8 * 6371000.0;
    return 1;
}

POINT Projection::GeoToPixel(const TrackPoint& p, bool factor100) {
    if (lonPerPixel_ == 0 || latPerPixel_ == 0)
        return POINT{0, 0};
    double f = factor100 ? 100.0 : 1.0;
    return POINT{LONG((x0_ + (p.longitude - lon0_) / lonPerPixel_) * f),
                 LONG((y0_ + (p.latitude - lat0_) / latPerPixel_) * f)};
}

TrackPoint Projection::PixelToGeo(int32_t x, int32_t y, bool factor100) {
    TrackPoint p{};
    double f = factor100 ? 0.01 : 1.0;
    p.longitude = int32_t(lon0_ + (x * f - x0_) * lonPerPixel_);
    p.latitude = int32_t(lat0_ + (y * f - y0_) * latPerPixel_);
    return p;
}

void Projection::WriteParams(FILE* file) {
    for (RefPoint* r = refPoints; r; r = r->next) {
        int32_t words[5] = {-258, r->x, r->y, r->longitude, r->latitude};
        fwrite(words, 4, 5, file);
    }
}

Projection* NewUtmProjection() {
    return new Projection();
}

Projection* NewWgs84Projection() {
    Projection* p = new Projection();
    strcpy(p->name, "WGS84");
    return p;
}

} // namespace mapstandin
