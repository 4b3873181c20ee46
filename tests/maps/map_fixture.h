// A calibrated map centred in a view at its native scale, so that one map pixel is one screen
// pixel: a picture of W x H drawn into a view of VW x VH lies at ((VW-W)/2, (VH-H)/2).
#pragma once
#include "maps/tiled_map.h"
#include "tests/maps/picture_fixtures.h"
#include "views/tracking_view.h"

namespace fixtures {

// 1000 units of 10^-8 radian per pixel, near the equator.
constexpr int32_t kLon0 = 10000000;
constexpr int32_t kLat0 = 1000000;
constexpr int32_t kPerPixel = 1000;

inline void CalibrateLinear(MapBase& map) {
    map.SetRefPixel(0, POINT{0, 0});
    map.SetRefCoord(0, kLon0, kLat0);
    map.SetRefPixel(1, POINT{map.width, map.height});
    map.SetRefCoord(1, kLon0 + map.width * kPerPixel, kLat0 + map.height * kPerPixel);
    map.Calibrate();
    map.ClearRefPixel(0);
    map.ClearRefPixel(1);
}

inline void CentreView(TrackingView& view, MapBase& map, Canvas& canvas, int w, int h) {
    view.width = w;
    view.height = h;
    view.paintDc = canvas.dc();
    view.currentMap = &map;
    int32_t lon = kLon0 + map.width / 2 * kPerPixel, lat = kLat0 + map.height / 2 * kPerPixel;
    view.position.centreLongitude = view.position.storedLongitude = view.position.fixLongitude =
        lon;
    view.position.centreLatitude = view.position.storedLatitude = view.position.fixLatitude = lat;
    view.position.scale = map.nativeScale;
}

inline void Pan(TrackingView& view, int dxPixels, int dyPixels) {
    view.position.centreLongitude += dxPixels * kPerPixel;
    view.position.storedLongitude = view.position.centreLongitude;
    view.position.centreLatitude += dyPixels * kPerPixel;
    view.position.storedLatitude = view.position.centreLatitude;
}

} // namespace fixtures
