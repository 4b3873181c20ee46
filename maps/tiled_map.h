// The drawing engine of every raster map: decodes the part of the picture a view needs into a
// 24-bit bitmap, keeps it as a cache, and paints it into the view at the view's scale with the
// map's outline, name, reference points and north arrow on top.
#pragma once
#include <windows.h>

#include <memory>

#include "maps/jpeg_decoder.h"
#include "maps/map_base.h"
#include "maps/png_decoder.h"

constexpr COLORREF kMapTransparentColour = RGB(248, 248, 248);
constexpr COLORREF kMapBorderColour = RGB(195, 217, 255);

// Bytes of one row of an uncompressed BMP file: rows are padded to 4 bytes.
int BmpRowStride(int width, int bitsPerPixel);

class TiledMap : public MapBase {
public:
    TiledMap();
    ~TiledMap() override;

    void AddUser(HDC context, View* user) override;
    bool RemoveUser(View* user) override;
    // Draws into the whole client area of the view.
    void Draw(View* view) override;
    void Draw(TrackingView* view, const RECT& screen);
    void DrawRefPoints(TrackingView* view, POINT pixel, int index) override;
    void Render(HDC dc, const wchar_t* path, PictureRect* rect, volatile LONG* abort) override;
    virtual void DrawOutline(TrackingView* view);
    virtual void DrawDirectionArrow(TrackingView* view);
    virtual void PaintToView(TrackingView* view, HDC memoryDc, const PictureRect& rect,
                             bool borderFill, bool transparent);

    // Opens the picture (PNG by its extension, else JPEG); with readHeader the picture's size is
    // taken from it. False when it cannot be opened.
    bool OpenPicture(const wchar_t* picturePath, bool readHeader);
    void ClosePicture();
    PictureRect VisiblePictureRect(TrackingView* view, const RECT& screen);
    RECT PictureRectToScreen(TrackingView* view, const PictureRect& rect);

    int32_t showRefPoints = 1;
    int32_t reserved2 = 0;
    void* pictureBits = nullptr;
    POINT sourceOffset = {0, 0}; // of the requested rectangle inside the cached picture

protected:
    void FreePicture();
    POINT PixelToScreen(TrackingView* view, int32_t x, int32_t y);

private:
    bool DecodeWholePicture();
    void RenderJpeg(const wchar_t* path, PictureRect* rect);
    void RenderBmp(const wchar_t* path, PictureRect* rect);
    void PaintBands(TrackingView* view, HDC memoryDc, const PictureRect& rect);

    std::unique_ptr<JpegDecoder> jpeg_;
    std::unique_ptr<PngPicture> png_;
    bool pngFlag_ = false;
};

// True when the path's extension names a picture that the tiled map renders in parts.
bool IsRenderableExtension(const wchar_t* path);
