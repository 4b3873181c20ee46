#include "geo/transverse_mercator_projection.h"

#include "geo/angles.h"

#include <cmath>

TransverseMercatorProjection::TransverseMercatorProjection(int32_t centralLongitude,
                                                           int32_t originLatitude)
    : params_{centralLongitude, originLatitude}, lambda0_(centralLongitude * 1e-8),
      phi0_(originLatitude * 1e-8) {
    SetNames("Transverse Mercator");
}

bool TransverseMercatorProjection::WriteParams(FILE* file) const {
    return WriteAngleParams(file, 5, params_, 2);
}

void TransverseMercatorProjection::GeoToGrid(double longitude, double latitude, double* gx,
                                             double* gy) const {
    const double phi = latitude * 1e-8, dl = longitude * 1e-8 - lambda0_;
    const double b = std::cos(phi) * std::sin(dl);
    *gx = 0.5 * std::log((1.0 + b) / (1.0 - b));
    *gy = std::atan(std::tan(phi) / std::cos(dl)) - phi0_;
}

void TransverseMercatorProjection::GridToGeo(double x, double y, double* lambda,
                                             double* phi) const {
    const double d = y + phi0_;
    *phi = std::asin(std::sin(d) / std::cosh(x));
    *lambda = lambda0_ + std::atan(std::sinh(x) / std::cos(d));
}
