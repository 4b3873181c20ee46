// Lambert conformal conic projection on the unit sphere (two standard parallels, or one when
// they are equal).
#pragma once
#include "geo/affine_projection.h"

class LambertConformalProjection : public AffineProjection {
public:
    // Radians x 10^8: central longitude, latitude of origin, standard parallels.
    LambertConformalProjection(int32_t centralLongitude, int32_t originLatitude, int32_t parallel1,
                               int32_t parallel2);
    bool WriteParams(FILE* file) const override;
    void GeoToGrid(double longitude, double latitude, double* gx, double* gy) const override;

    double F = 0.0, n = 0.0, rho0 = 0.0;

protected:
    void GridToGeo(double gx, double gy, double* lambda, double* phi) const override;

private:
    int32_t params_[4];
    double lambda0_;
};
