// Projections that compute grid values on the unit sphere and map them to pixels through the
// two affine transforms fitted from three reference points.
#pragma once
#include "geo/projection.h"

class AffineProjection : public Projection {
public:
    PixelPoint GeoToPixel(const TrackPoint& position, bool hundredths = false) const override;
    TrackPoint PixelToGeo(int32_t x, int32_t y, bool hundredths = false) const override;
    int Setup(int width, int height) override;

protected:
    // Grid values back to radians.
    virtual void GridToGeo(double gx, double gy, double* lambda, double* phi) const = 0;
    // The scale once the transforms are in place (metres per pixel).
    virtual double ScaleAfterSetup() const;
    // Clears the transforms and differences, so that conversions give the uncalibrated results.
    void ResetCalibration();
    // Fails unless the pixel and angle differences of the base points are all non-zero.
    int FinishSetup();
    // Metres per pixel from the rows of the first two base latitudes at the first longitude.
    double ScaleFromRows() const;
    bool WriteAngleParams(FILE* file, int32_t kind, const int32_t* angles, size_t count) const;
};
