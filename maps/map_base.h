// The base of every raster map: picture size, the map's projection and the calibration
// projection, native scale and rotation, coverage box, the scale range at which it is drawn and
// the coverage test by which the views rank maps.
#pragma once
#include <windows.h>

#include <cstdint>
#include <vector>

#include "maps/manager_item.h"

class Projection;
class TrackingView;

constexpr int32_t kNoScaleOffset = INT32_MIN; // the scale lies outside the map's range
constexpr int32_t kPixelNotSet = -1000000000; // a calibration pixel that was not placed

// Scale factors of the zoom range {max, ..., min}; the views read them too.
extern const int16_t kMapScaleFactors[6];

// A picture rectangle in map pixels, y upward (top >= bottom).
struct PictureRect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

class MapBase : public ManagerItem {
public:
    MapBase();
    ~MapBase() override;

    void SetName(const wchar_t* name) override;
    void GetInfoText(wchar_t* buffer, size_t chars) override;
    bool RenameFile(const wchar_t* oldBase, const wchar_t* newBase) override;
    int32_t ScaleOffset(int32_t scale) override;
    void Draw(View*) override {}
    double IsInView(View* view, const ViewPosition* position, int32_t scale, int which) override;

    virtual void ComputeScale();
    virtual void ComputeBounds();
    virtual int32_t GetMinScale();
    virtual int32_t GetMaxScale();
    virtual void CentreViewOnMap(TrackingView* view);
    virtual void DrawRefPoints(TrackingView*, POINT, int) {}
    // Decodes the picture rectangle into the picture bitmap.
    virtual void Render(HDC, const wchar_t*, PictureRect*, volatile LONG*) {}
    // Writes the map as a tiled map file; false when nothing was written.
    virtual bool SaveAsTkm(const wchar_t*, int, int, int, int, Projection*, const wchar_t*) {
        return false;
    }
    virtual bool LocatePosition(TrackingView* view, POINT screen);
    virtual bool LocatePosition2(TrackingView* view, int32_t scale);

    void SetRefPixel(int index, POINT pixel);
    void SetRefCoord(int index, int32_t longitude, int32_t latitude);
    void ClearRefPixel(int index);
    void CopyRefPoints();
    void Calibrate();
    void FitToView(TrackingView* view);

    // Position (radians x 10^8) to map pixel through the map's projection, and back.
    POINT GeoToPixel(int32_t longitude, int32_t latitude);
    void PixelToGeo(int32_t x, int32_t y, int32_t* longitude, int32_t* latitude);

    int32_t width = 0;
    int32_t height = 0;
    int32_t bitsPerPixel = 0;
    HBITMAP picture = nullptr; // the decoded part of the picture
    Projection* projection = nullptr;
    Projection* calibration = nullptr; // two nodes: the points of an interactive calibration
    int32_t wholeFile = 1;             // the map file is read whole; 0: through a decoder
    POINT calibrationPixels[3];
    PictureRect cached = {}; // held in the picture bitmap; right = -1: nothing
    double rotation = 0.0;   // radians, north direction of the map
    wchar_t calPath[kItemPathChars] = {};
    std::vector<uint8_t> extraBlock;
    int32_t resolution = 0; // dots per inch

protected:
    // Stores the visible byte in the map's file after a rename; nothing for most maps.
    virtual void StoreFileState() {}
    // Replaces the map's projection by the geographic one when the current cannot be set up.
    void SetupProjectionOrFallBack();
    // Map pixel P of a position and the screen corners of the picture with the view centred on
    // P; false when the view cannot convert.
    void PictureCorners(TrackingView* view, POINT centre, POINT* s0, POINT* s1);
};
