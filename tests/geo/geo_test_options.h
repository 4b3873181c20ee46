// Sets the unit system, coordinate format and east letter for one test and restores them.
#pragma once
#include "geo/geo_options.h"

class GeoOptionsScope {
public:
    GeoOptionsScope(uint32_t cfg1, uint32_t cfg4 = 0, char east = 'E') {
        previous_ = SetGeoOptionsSource(
            {[cfg1] { return cfg1; }, [cfg4] { return cfg4; }, [east] { return east; }});
    }
    ~GeoOptionsScope() { SetGeoOptionsSource(previous_); }
    GeoOptionsScope(const GeoOptionsScope&) = delete;
    GeoOptionsScope& operator=(const GeoOptionsScope&) = delete;

private:
    GeoOptionsSource previous_;
};
