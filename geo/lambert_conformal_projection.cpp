#include "geo/lambert_conformal_projection.h"

#include "geo/angles.h"

#include <cmath>

namespace {
double TanHalf(double phi) {
    return std::tan(kPi / 4.0 + phi / 2.0);
}
} // namespace

LambertConformalProjection::LambertConformalProjection(int32_t centralLongitude,
                                                       int32_t originLatitude, int32_t parallel1,
                                                       int32_t parallel2)
    : params_{centralLongitude, originLatitude, parallel1, parallel2},
      lambda0_(centralLongitude * 1e-8) {
    SetNames("Lambert Conformal Conic");
    const double phi0 = originLatitude * 1e-8, phi1 = parallel1 * 1e-8, phi2 = parallel2 * 1e-8;
    // Equal parallels make the two-parallel quotient 0/0; its limit is the tangent cone.
    if (parallel1 == parallel2)
        n = std::sin(phi1);
    else
        n = std::log(std::cos(phi1) / std::cos(phi2)) / std::log(TanHalf(phi2) / TanHalf(phi1));
    F = std::cos(phi1) / std::pow(TanHalf(phi1), n);
    rho0 = F * std::pow(1.0 / TanHalf(phi0), n);
}

bool LambertConformalProjection::WriteParams(FILE* file) const {
    return WriteAngleParams(file, 3, params_, 4);
}

void LambertConformalProjection::GeoToGrid(double longitude, double latitude, double* gx,
                                           double* gy) const {
    const double rho = F * std::pow(1.0 / TanHalf(latitude * 1e-8), n);
    const double theta = n * (longitude * 1e-8 - lambda0_);
    *gx = rho * std::sin(theta);
    *gy = rho0 - rho * std::cos(theta);
}

void LambertConformalProjection::GridToGeo(double x, double y, double* lambda, double* phi) const {
    const double rho = std::sqrt(x * x + (rho0 - y) * (rho0 - y));
    const double theta = std::atan(x / (rho0 - y));
    *phi = 2.0 * std::atan(std::pow(F / rho, 1.0 / n)) - kPi / 2.0;
    *lambda = lambda0_ + theta / n;
}
