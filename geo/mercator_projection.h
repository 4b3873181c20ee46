// Mercator projection on the unit sphere. With the corner-fit flag the picture's corner points
// give an axis-aligned fit; without it the map reader supplies the transforms.
#pragma once
#include "geo/affine_projection.h"

class MercatorProjection : public AffineProjection {
public:
    // Radians x 10^8; the second angle is only kept for the file.
    MercatorProjection(int32_t centralLongitude, int32_t secondAngle, int cornerFit);
    bool WriteParams(FILE* file) const override;
    int Setup(int width, int height) override;
    int Calibrate() override { return 1; }
    void GeoToGrid(double longitude, double latitude, double* gx, double* gy) const override;

    int cornerFit;

protected:
    void GridToGeo(double gx, double gy, double* lambda, double* phi) const override;

private:
    int32_t params_[2];
    double lambda0_;
};
