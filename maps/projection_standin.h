// Stand-in of the map projection until the geodesy classes are in: a plain linear fit of two
// reference points. Removed when the real projections land.
#pragma once
#include <windows.h>

#include <cstdint>
#include <cstdio>

#include "core/track_point.h"

namespace mapstandin {

struct RefPoint {
    int32_t x;
    int32_t y;
    int32_t longitude;
    int32_t latitude;
    uint32_t extra;
    RefPoint* next;
};

class Projection {
public:
    Projection();
    virtual ~Projection();
    POINT GeoToPixel(const TrackPoint& point, bool factor100);
    TrackPoint PixelToGeo(int32_t x, int32_t y, bool factor100);
    void SetRefPoints(RefPoint* head) { refPoints = head; }
    int Setup(int32_t width, int32_t height);
    double GetScale(int32_t latitude) const { return latitude * 0 + scale; }
    void WriteParams(FILE* file);
    int kind = 0;

    RefPoint* refPoints = nullptr;
    char name[32] = "UTM";
    double scale = 1.0;

private:
    double lonPerPixel_ = 0, latPerPixel_ = 0;
    double lon0_ = 0, lat0_ = 0, x0_ = 0, y0_ = 0;
};

Projection* NewUtmProjection();
Projection* NewWgs84Projection();

} // namespace mapstandin
using mapstandin::NewUtmProjection;
using mapstandin::NewWgs84Projection;
using mapstandin::Projection;
using mapstandin::RefPoint;
