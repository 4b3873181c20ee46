// Transverse Mercator projection on the unit sphere.
#pragma once
#include "geo/affine_projection.h"

class TransverseMercatorProjection : public AffineProjection {
public:
    // Radians x 10^8: central meridian, latitude of origin.
    TransverseMercatorProjection(int32_t centralLongitude, int32_t originLatitude);
    bool WriteParams(FILE* file) const override;
    void GeoToGrid(double longitude, double latitude, double* gx, double* gy) const override;

protected:
    void GridToGeo(double gx, double gy, double* lambda, double* phi) const override;
    double ScaleAfterSetup() const override { return ScaleFromRows(); }

private:
    int32_t params_[2];
    double lambda0_, phi0_;
};
