// Gauss-Krueger grid (Bessel ellipsoid, 3-degree strips, strip number as the easting's millions
// digit) to and from WGS84, through a three-parameter geocentric datum shift. Angles in
// degrees, easting and northing in metres. The shift is good to about a metre.
#pragma once
#include <cstdint>

void GkToWgs84(int32_t easting, int32_t northing, double* longitude, double* latitude);
void Wgs84ToGk(double longitude, double latitude, double* easting, double* northing);

void GkToBessel(int32_t easting, int32_t northing, double* longitude, double* latitude);
void BesselToWgs84(double longitude, double latitude, double* wgsLongitude, double* wgsLatitude);
void Wgs84ToBessel(double longitude, double latitude, double* besselLongitude,
                   double* besselLatitude);
void BesselToGk(double longitude, double latitude, double* easting, double* northing);
