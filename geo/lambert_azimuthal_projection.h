// Lambert azimuthal equal-area projection on the unit sphere.
#pragma once
#include "geo/affine_projection.h"

class LambertAzimuthalProjection : public AffineProjection {
public:
    // Radians x 10^8.
    LambertAzimuthalProjection(int32_t centralLongitude, int32_t originLatitude);
    bool WriteParams(FILE* file) const override;
    void GeoToGrid(double longitude, double latitude, double* gx, double* gy) const override;

protected:
    void GridToGeo(double gx, double gy, double* lambda, double* phi) const override;

private:
    int32_t params_[2];
    double lambda0_, phi1_;
};
