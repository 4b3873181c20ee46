#include "geo/mercator_projection.h"

#include "geo/angles.h"

#include <cmath>

MercatorProjection::MercatorProjection(int32_t centralLongitude, int32_t secondAngle,
                                       int cornerFitFlag)
    : cornerFit(cornerFitFlag), params_{centralLongitude, secondAngle},
      lambda0_(centralLongitude * 1e-8) {
    SetNames("Mercator");
}

bool MercatorProjection::WriteParams(FILE* file) const {
    return WriteAngleParams(file, cornerFit ? 7 : 4, params_, 2);
}

int MercatorProjection::Setup(int width, int height) {
    if (!cornerFit) {
        // The transforms come from the map reader; only the base points are taken here.
        if (!CopyBasePoints()) {
            ResetCalibration();
            return 0;
        }
        return FinishSetup();
    }
    SortRefPointsByDistance(this, 0, 0, 0);
    SortRefPointsByDistance(this, 1, width, height);
    SortRefPointsByDistance(this, 2, width, 0);
    SortRefPointsByDistance(this, 3, 0, height);
    if (!FitTwoPointsAxisAligned(this)) {
        ResetCalibration();
        return 0;
    }
    const RefPoint& p1 = *refPoints;
    const RefPoint& p2 = *refPoints->next;
    scale = (static_cast<double>(p1.latitude) - p2.latitude) * 0.06378137;
    if (p1.y != p2.y)
        scale /= static_cast<double>(p1.y) - p2.y;
    return 1;
}

void MercatorProjection::GeoToGrid(double longitude, double latitude, double* gx,
                                   double* gy) const {
    *gx = longitude * 1e-8 - lambda0_;
    *gy = std::log(std::tan(kPi / 4.0 + latitude * 1e-8 / 2.0));
}

void MercatorProjection::GridToGeo(double x, double y, double* lambda, double* phi) const {
    *phi = std::atan(std::sinh(y));
    *lambda = lambda0_ + x;
}
