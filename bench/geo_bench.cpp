// Times the UTM and Gauss-Krueger conversions in each direction.
//   scripts/wine-run.sh build/bin/geo_bench.exe [iterations]
#include "geo/angles.h"
#include "geo/gauss_krueger.h"
#include "geo/utm.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {
volatile double g_sink; // keeps the results alive

template <typename Work> void Time(const char* what, int iterations, Work work) {
    const auto start = std::chrono::steady_clock::now();
    double sum = 0.0;
    for (int i = 0; i < iterations; ++i)
        sum += work(i);
    const auto end = std::chrono::steady_clock::now();
    g_sink = sum;
    const double ns = std::chrono::duration<double, std::nano>(end - start).count() / iterations;
    printf("%-28s %10.1f ns per conversion (%d)\n", what, ns, iterations);
}

// Positions spread over Central Europe, one per iteration.
double Lat(int i) {
    return 47.0 + (i % 1000) * 0.006;
}
double Lon(int i) {
    return 6.0 + (i % 997) * 0.009;
}
} // namespace

int main(int argc, char** argv) {
    const int n = argc > 1 ? std::atoi(argv[1]) : 200000;
    if (n <= 0)
        return 1;
    cUTM utm;
    Time("UTM lat/lon -> grid", n, [&](int i) {
        utm.latitude = Lat(i);
        utm.longitude = Lon(i);
        utm.LatLonToUtm(kUtmChooseZone);
        return utm.easting + utm.northing;
    });
    Time("UTM grid -> lat/lon", n, [&](int i) {
        utm.SetUtm(300000 + (i % 1000) * 300, 32, 5200000 + (i % 997) * 500, 'U');
        return utm.latitude + utm.longitude;
    });
    Time("Gauss-Krueger WGS84 -> grid", n, [](int i) {
        double e, north;
        Wgs84ToGk(Lon(i), Lat(i), &e, &north);
        return e + north;
    });
    Time("Gauss-Krueger grid -> WGS84", n, [](int i) {
        double lon, lat;
        GkToWgs84(3400000 + (i % 1000) * 200, 5200000 + (i % 997) * 500, &lon, &lat);
        return lon + lat;
    });
    return 0;
}
