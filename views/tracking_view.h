// The moving-map view as far as maps need it: its size, position record, scale, current map,
// zoom levels and the conversions between positions, map pixels and screen pixels. The full view
// (painting, following, map choice) builds on this.
#pragma once
#include <windows.h>

#include <cstdint>

#include "core/track_point.h"
#include "maps/zoom_scale_list.h"

class MapBase;

// The view's position record; angles in radians x 10^8.
struct ViewPosition {
    int32_t fixLongitude = 0;
    int32_t fixLatitude = 0;
    int32_t centreLongitude = 0;
    int32_t centreLatitude = 0;
    int32_t scale = 25000;
    int32_t storedLongitude = 0;
    int32_t storedLatitude = 0;
};

class View {
public:
    virtual ~View() = default;
    // Stores the repaint kind and invalidates the client area.
    virtual void InvalidateEx(bool erase, bool full);

    HWND hwnd = nullptr;
    HDC paintDc = nullptr; // the device context the view paints into
    int width = 0;
    int height = 0;
    int originX = 0;
    int originY = 0;
    bool fullRepaint = true;
};

enum : int { kLockFree = 0, kLockFollow = 1, kLockLocked = 2 };

class TrackingView : public View {
public:
    TrackingView();

    // Conversions of a position through the current map when it applies, else through the
    // view's plain projection.
    POINT GeoToScreen(const TrackPoint& point, bool factor100 = false);
    TrackPoint ScreenToGeo(POINT screen, bool factor100 = false);
    // True while a raster map is being calibrated by reference points; never in this view.
    bool IsCalibrationMap() const { return false; }
    // The plain projection: one screen pixel spans scale / 279 units of 10^-8 radian.
    POINT ProjectToScreen(const TrackPoint& point) const;
    TrackPoint UnprojectFromScreen(POINT screen) const;

    // Map rule; centrePixel null: the view centre through the map's projection.
    POINT MapPixelToScreen(POINT pixel, MapBase* map, bool factor100, int32_t scaleOverride,
                           const POINT* centrePixel);
    POINT ScreenToMapPixel(POINT screen, MapBase* map, bool factor100);
    RECT MapPixelRectToScreen(const RECT& pixels, MapBase* map);
    RECT ScreenRectToMapPixels(const RECT& screen, MapBase* map);
    POINT CentreInMapPixels(MapBase* map);

    int32_t ColumnToLon(int x) const;
    int32_t RowToLat(int y) const;
    void UpdateGeoRect();
    void SetLock(int mode, bool rebuildBar, int unused);
    void SetCentre(int32_t longitude, int32_t latitude);
    void AddMapZoomLevels(MapBase* map);
    void RemoveMapZoomLevels(MapBase* map);

    MapBase* currentMap = nullptr;
    int lockMode = kLockFree;
    volatile LONG abortRender = 0; // non-zero ends a long render
    ZoomScaleList zoomLevels{1000, 500000000};
    ViewPosition position;
    // Longitude and latitude of the top-left, then of the bottom-right corner.
    int32_t geoCorners[4] = {};
    int screenScale = 1;         // screen scale factor of the device (1, or 2 above 120 DPI)
    bool showNorthArrow = false; // option: north arrow on raster maps
    bool showRefPoints = false;  // option: reference points of maps

private:
    bool MapApplies();
};

// A filled arrow pointing at `degrees` (0 = up, clockwise), for the north arrow of maps.
void DrawArrowMarker(HDC dc, int x, int y, int degrees, int scaleFactor);
