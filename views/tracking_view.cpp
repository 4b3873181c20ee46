#include "views/tracking_view.h"

#include <algorithm>
#include <cmath>

#include "core/truncate.h"
#include "maps/map_base.h"

void View::InvalidateEx(bool, bool full) {
    fullRepaint = full || fullRepaint;
    if (hwnd)
        InvalidateRect(hwnd, nullptr, FALSE);
}

TrackingView::TrackingView() = default;

bool TrackingView::MapApplies() {
    MapBase* map = currentMap;
    return map && map->ScaleOffset(position.scale) != kNoScaleOffset &&
           map->IsInView(this, &position, map->nativeScale, lockMode > 0) != 0.0;
}

POINT TrackingView::CentreInMapPixels(MapBase* map) {
    return map->GeoToPixel(position.centreLongitude, position.centreLatitude);
}

POINT TrackingView::MapPixelToScreen(POINT pixel, MapBase* map, bool factor100,
                                     int32_t scaleOverride, const POINT* centrePixel) {
    POINT c = centrePixel ? *centrePixel : CentreInMapPixels(map);
    double s = scaleOverride ? scaleOverride : position.scale;
    double k = 1.0 / (s * (factor100 ? 100.0 : 1.0));
    double n = map->nativeScale;
    return POINT{TruncateToInt(std::floor((pixel.x - c.x) * n * k + width * 0.5 + 0.5)) + originX,
                 TruncateToInt(std::floor(height * 0.5 - (pixel.y - c.y) * n * k + 0.5)) + originY};
}

POINT TrackingView::ScreenToMapPixel(POINT screen, MapBase* map, bool factor100) {
    POINT c = CentreInMapPixels(map);
    double f = factor100 ? 100.0 : 1.0;
    double n = map->nativeScale > 0 ? map->nativeScale : 1.0;
    double s = position.scale;
    return POINT{
        TruncateToInt(std::floor(((screen.x - originX) - width * 0.5) * s * f / n + 0.5)) + c.x,
        TruncateToInt(std::floor((height * 0.5 - (screen.y - originY)) * s * f / n + 0.5)) + c.y};
}

RECT TrackingView::MapPixelRectToScreen(const RECT& pixels, MapBase* map) {
    POINT a = MapPixelToScreen(POINT{pixels.left, pixels.top}, map, false, 0, nullptr);
    POINT b = MapPixelToScreen(POINT{pixels.right, pixels.bottom}, map, false, 0, nullptr);
    return RECT{a.x, a.y, b.x, b.y};
}

RECT TrackingView::ScreenRectToMapPixels(const RECT& screen, MapBase* map) {
    POINT a = ScreenToMapPixel(POINT{screen.left, screen.top}, map, false);
    POINT b = ScreenToMapPixel(POINT{screen.right, screen.bottom}, map, false);
    return RECT{a.x, a.y, b.x, b.y};
}

POINT TrackingView::GeoToScreen(const TrackPoint& point, bool factor100) {
    if (!MapApplies())
        return ProjectToScreen(point);
    POINT pixel = currentMap->GeoToPixel(point.longitude, point.latitude);
    if (factor100) {
        pixel.x *= 100;
        pixel.y *= 100;
    }
    return MapPixelToScreen(pixel, currentMap, factor100, 0, nullptr);
}

TrackPoint TrackingView::ScreenToGeo(POINT screen, bool factor100) {
    if (!MapApplies())
        return UnprojectFromScreen(screen);
    POINT pixel = ScreenToMapPixel(screen, currentMap, false);
    (void)factor100;
    TrackPoint point{};
    currentMap->PixelToGeo(pixel.x, pixel.y, &point.longitude, &point.latitude);
    return point;
}

POINT TrackingView::ProjectToScreen(const TrackPoint& point) const {
    double s = position.scale > 0 ? position.scale : 1.0;
    double dx = (double(point.longitude) - position.centreLongitude) * 279.0 / s;
    double dy = (double(point.latitude) - position.centreLatitude) * 279.0 / s;
    return POINT{TruncateToInt(std::floor(width * 0.5 + dx + 0.5)),
                 TruncateToInt(std::floor(height * 0.5 - dy + 0.5))};
}

TrackPoint TrackingView::UnprojectFromScreen(POINT screen) const {
    TrackPoint point{};
    point.longitude = ColumnToLon(screen.x);
    point.latitude = RowToLat(screen.y);
    return point;
}

int32_t TrackingView::ColumnToLon(int x) const {
    double lon =
        position.centreLongitude + std::trunc((x - width / 2) * double(position.scale) / 279.0);
    return static_cast<int32_t>(std::clamp(lon, -314159265.0, 314159265.0));
}

int32_t TrackingView::RowToLat(int y) const {
    double lat =
        position.centreLatitude + std::trunc((height / 2 - y) * double(position.scale) / 279.0);
    return static_cast<int32_t>(std::clamp(lat, -157079632.0, 157079632.0));
}

void TrackingView::UpdateGeoRect() {
    TrackPoint a = UnprojectFromScreen(POINT{0, 0});
    TrackPoint b = UnprojectFromScreen(POINT{width, height});
    geoCorners[0] = a.longitude;
    geoCorners[1] = a.latitude;
    geoCorners[2] = b.longitude;
    geoCorners[3] = b.latitude;
    fullRepaint = true;
}

void TrackingView::SetLock(int mode, bool, int) {
    lockMode = mode;
}

void TrackingView::SetCentre(int32_t longitude, int32_t latitude) {
    position.centreLongitude = position.storedLongitude = longitude;
    position.centreLatitude = position.storedLatitude = latitude;
    SetLock(kLockFree, false, 0);
    InvalidateEx(false, true);
}

void TrackingView::AddMapZoomLevels(MapBase* map) {
    if (map && map->nativeScale > 0)
        zoomLevels.AddSeries(map->nativeScale);
}

void TrackingView::RemoveMapZoomLevels(MapBase* map) {
    if (map && map->nativeScale > 0)
        zoomLevels.RemoveSeries(map->nativeScale);
}

void DrawArrowMarker(HDC dc, int x, int y, int degrees, int scaleFactor) {
    const double a = degrees * 3.14159265358979323846 / 180.0;
    const double s = std::sin(a), c = std::cos(a);
    // Tip, right barb, notch, left barb; screen y grows downward.
    const double shape[4][2] = {{0, -20}, {10, 14}, {0, 6}, {-10, 14}};
    POINT points[4];
    for (int i = 0; i < 4; ++i) {
        double px = shape[i][0] * scaleFactor, py = shape[i][1] * scaleFactor;
        points[i].x = x + TruncateToInt(std::lround(px * c - py * s));
        points[i].y = y + TruncateToInt(std::lround(px * s + py * c));
    }
    HBRUSH brush = CreateSolidBrush(RGB(255, 0, 0));
    HPEN pen = CreatePen(PS_SOLID, scaleFactor, RGB(0, 0, 0));
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    Polygon(dc, points, 4);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(brush);
    DeleteObject(pen);
}
