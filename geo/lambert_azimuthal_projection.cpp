#include "geo/lambert_azimuthal_projection.h"

#include "geo/angles.h"

#include <cmath>

LambertAzimuthalProjection::LambertAzimuthalProjection(int32_t centralLongitude,
                                                       int32_t originLatitude)
    : params_{centralLongitude, originLatitude}, lambda0_(centralLongitude * 1e-8),
      phi1_(originLatitude * 1e-8) {
    SetNames("Lambert Azimuthual Equal Area");
}

bool LambertAzimuthalProjection::WriteParams(FILE* file) const {
    return WriteAngleParams(file, 2, params_, 2);
}

void LambertAzimuthalProjection::GeoToGrid(double longitude, double latitude, double* gx,
                                           double* gy) const {
    const double phi = latitude * 1e-8, dl = longitude * 1e-8 - lambda0_;
    const double k = std::sqrt(2.0 / (1.0 + std::sin(phi1_) * std::sin(phi) +
                                      std::cos(phi1_) * std::cos(phi) * std::cos(dl)));
    *gx = k * std::cos(phi) * std::sin(dl);
    *gy = k * (std::cos(phi1_) * std::sin(phi) - std::sin(phi1_) * std::cos(phi) * std::cos(dl));
}

void LambertAzimuthalProjection::GridToGeo(double x, double y, double* lambda, double* phi) const {
    const double rho = std::sqrt(x * x + y * y);
    if (rho == 0.0) { // the centre itself
        *lambda = lambda0_;
        *phi = phi1_;
        return;
    }
    const double c = 2.0 * std::asin(std::fmin(1.0, rho / 2.0));
    *phi = std::asin(std::cos(c) * std::sin(phi1_) + y * std::sin(c) * std::cos(phi1_) / rho);
    *lambda = lambda0_ +
              std::atan(x * std::sin(c) /
                        (rho * std::cos(phi1_) * std::cos(c) - y * std::sin(phi1_) * std::sin(c)));
}
