// Geographic maps: longitude and latitude scale linearly to pixels, from two reference points.
#pragma once
#include "geo/projection.h"

class Wgs84Projection : public Projection {
public:
    Wgs84Projection();
    PixelPoint GeoToPixel(const TrackPoint& position, bool hundredths = false) const override;
    TrackPoint PixelToGeo(int32_t x, int32_t y, bool hundredths = false) const override;
    bool WriteParams(FILE* file) const override;
    int Setup(int width, int height) override;
};
