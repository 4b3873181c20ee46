// Spherical ("web") Mercator of the tile servers. The metres per pixel along x and y live in
// the base's sinRot and cosRot, where the factory carries them over to a new projection.
#pragma once
#include "geo/projection.h"

constexpr double kOsmMetresPerDegree = 111319.49079327358; // of longitude at the equator

class OsmProjection : public Projection {
public:
    OsmProjection();
    PixelPoint GeoToPixel(const TrackPoint& position, bool hundredths = false) const override;
    TrackPoint PixelToGeo(int32_t x, int32_t y, bool hundredths = false) const override;
    bool WriteParams(FILE* file) const override;
    int Setup(int width, int height) override;
    double GetScale(int32_t latitude) const override;

    double xScale() const { return sinRot; }
    double yScale() const { return cosRot; }
    void SetScales(double metresPerPixelX, double metresPerPixelY) {
        sinRot = metresPerPixelX;
        cosRot = metresPerPixelY;
    }

    double y0merc = 0.0;                          // Mercator y of the first reference latitude
    double metresPerDegree = kOsmMetresPerDegree; // read by the views
};

// Scale denominators of the tile zoom levels 0..21.
int32_t ZoomToScale(int zoom);
int ScaleToZoom(double scale);
// ln(1 / cos(phi) + tan(phi)) of a latitude in radians x 10^8.
double MercatorY(int32_t latitude);
