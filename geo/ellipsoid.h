// Ellipsoid constants; every value is derived from the semi-major axis and the flattening, so
// another ellipsoid overrides only those two. This one is WGS84.
#pragma once

class cEllipsoid {
public:
    virtual ~cEllipsoid() = default;
    virtual double SemiMajorAxis() const { return 6378137.0; }
    virtual double SemiMinorAxis() const {
        const double f = Flattening();
        return ((1.0 / f) - 1.0) * f * SemiMajorAxis();
    }
    virtual double Flattening() const { return 0.0033528106647474805; } // 1/298.257223563
    virtual double EccentricitySquared() const {
        const double a = SemiMajorAxis(), b = SemiMinorAxis();
        return (a * a - b * b) / (a * a);
    }
    virtual double SecondEccentricitySquared() const {
        const double a = SemiMajorAxis(), b = SemiMinorAxis();
        return (a * a - b * b) / (b * b);
    }
    virtual double ZeroValue() const { return 0.0; }
};
