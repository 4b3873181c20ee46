// A map's projection: turns positions into map pixels and back, calibrated from reference
// points (a pixel paired with a position). Map pixels count from the lower-left corner, y up.
#pragma once
#include "core/track_point.h"

#include <cstdint>
#include <cstdio>

// One reference point; a singly linked list whose nodes are allocated with new. The UTM class
// keeps easting, northing, zone and band in the nodes of its parameter block instead.
struct RefPoint {
    int32_t x = 0;
    int32_t y = 0;
    int32_t longitude = 0; // radians x 10^8 (UTM parameter block: easting)
    int32_t latitude = 0;  // radians x 10^8 (UTM parameter block: northing)
    uint8_t extra[4] = {}; // UTM parameter block: zone, band letter
    RefPoint* next = nullptr;
};

struct PixelPoint {
    int32_t x;
    int32_t y;
};

// Two positions, radians x 10^8.
struct GeoPair {
    int32_t longitude1, latitude1, longitude2, latitude2;
};

// Calibration method index kept with the map (the keyword of its calibration file).
enum CalibrationMethod : uint8_t {
    kCalDummy = 0,
    kCalBilinearGeographic = 1,
    kCalBilinearDistance = 2,
    kCalLinearCosinus = 3,
    kCalWgs84Utm = 4,
};

class Projection {
public:
    Projection();
    virtual ~Projection();
    Projection(const Projection&) = delete;
    Projection& operator=(const Projection&) = delete;

    // hundredths: pixels in 1/100 pixel. Uncalibrated: (0, 0).
    virtual PixelPoint GeoToPixel(const TrackPoint& position, bool hundredths = false) const;
    virtual GeoPair PixelToPoint(int32_t x1, int32_t y1, int32_t x2, int32_t y2) const;
    // Uncalibrated: a zero position.
    virtual TrackPoint PixelToGeo(int32_t x, int32_t y, bool hundredths = false) const;
    // The class's parameter records and the reference points, as little-endian int32 words.
    virtual bool WriteParams(FILE* file) const = 0;
    // The projection reorders the list and may delete duplicate nodes, but never frees it.
    virtual void SetRefPoints(RefPoint* head) { refPoints = head; }
    // Derives the calibration from the reference points; 0 when they cannot calibrate the class.
    virtual int Setup(int width, int height) = 0;
    virtual void SetValue64(double value) { rotation = value; }
    virtual double GetValue64() const { return rotation; }
    virtual void SetFlag(uint8_t value) { flag = value; }
    virtual uint8_t GetFlag() const { return flag; }
    // Metres per pixel at a latitude (radians x 10^8).
    virtual double GetScale(int32_t latitude) const;
    // Solves the two affine transforms from the first three reference points; 0 (after telling
    // the user) when they are placed so that no transform exists.
    virtual int Calibrate();
    // Grid coordinates of a position given in radians x 10^8.
    virtual void GeoToGrid(double longitude, double latitude, double* gx, double* gy) const;

    PixelPoint GetRefPointPixel(int index) const; // (-1, -1) past the end
    PixelPoint ParamPointPixel1() const { return {paramBlock->x, paramBlock->y}; }
    PixelPoint ParamPointPixel2() const { return {paramBlock->next->x, paramBlock->next->y}; }
    PixelPoint RefPointPixel3() const; // (10, 10) when there are only two
    int RefPointCount() const;
    bool WriteRefPoints(FILE* file) const;
    // Picks three points spread over a width x height picture and moves them to the head.
    int FitGrid(int width, int height);

    RefPoint* refPoints = nullptr;
    RefPoint* paramBlock = nullptr; // two chained nodes owned by the projection
    int32_t dx = 0, dy = 0, dE = 0, dN = 0;
    double rotation = 0.0;
    double sinNegRot = 0.0, cosNegRot = 0.0, sinRot = 0.0, cosRot = 0.0;
    uint8_t flag = kCalDummy;
    char name[32] = {};
    char datum[8] = {};
    double gridAngle = 0.0, pixelAngle = 0.0;
    double scale = 1.0;         // metres per pixel
    double gridToPixel[6] = {}; // x = a0 gx + a1 gy + a4, y = a2 gx + a3 gy + a5
    double pixelToGrid[6] = {}; // gx = (b0 x + b1 y + b4) 1e-8, gy = (b2 x + b3 y + b5) 1e-8

protected:
    void SetNames(const char* projectionName);
    // Copies the first two reference points into the parameter block and takes the pixel and
    // angle differences; false when there are fewer than two points.
    bool CopyBasePoints();
    bool DifferencesNonZero() const { return dx != 0 && dy != 0 && dE != 0 && dN != 0; }
};

// base + delta truncated towards zero, saturating instead of overflowing.
int32_t OffsetTruncated(int32_t base, double delta);
// Writes little-endian int32 words; false on a write error.
bool WriteWords(FILE* file, const int32_t* words, size_t count);

bool WriteDoubles(FILE* file, const double* values, size_t count);
// The parameter record of a projection block: -259, kind, byte count; then the bytes follow.
bool WriteParamHeader(FILE* file, int32_t kind, int32_t byteCount);
// -260 1, -261 0 after the parameter bytes.
bool WriteParamTrailer(FILE* file);

// The pixel order of two points agrees with their geographic order on both axes.
bool CalibrationPointsConsistent(double x0, double y0, double lon0, double lat0, double x1,
                                 double y1, double lon1, double lat1);
// Fits the first two reference points with axis-aligned transforms; 1.
int FitTwoPointsAxisAligned(Projection* projection);
// Orders the first three reference points so that the first two are consistent; 0 with fewer
// than three points.
int ChooseBasePoints(Projection* projection);
// Drops duplicate nodes and brings the node nearest to (x, y) from position `start` on to it.
void SortRefPointsByDistance(Projection* projection, int start, int x, int y);
// True when (x, y) is farther from the node than from its successor.
bool RefPointNearer(int x, int y, const RefPoint* node);
bool RefPointsEqual(const RefPoint* a, const RefPoint* b);
