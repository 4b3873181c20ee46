#include "maps/tiled_map.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <cwchar>
#include <new>
#include <string>
#include <vector>

#include "core/truncate.h"
#include "maps/dib_section.h"
#include "geo/projection.h"
#include "platform/sh_load_dib.h"
#include "platform/transparent_image.h"
#include "platform/ui_seam.h"
#include "views/tracking_view.h"

namespace {

constexpr int kBandRows = 256;
// Rows of decoded JPEG held at once while a rectangle is rendered: enough for large strips,
// small beside any device's memory.
constexpr size_t kStripBudgetBytes = 8u << 20;

std::wstring Extension(const wchar_t* path) {
    if (!path)
        return L"";
    std::wstring text = path;
    size_t dot = text.find_last_of(L'.');
    size_t separator = text.find_last_of(L"\\/");
    if (dot == std::wstring::npos || (separator != std::wstring::npos && separator > dot))
        return L"";
    std::wstring ext = text.substr(dot + 1);
    for (wchar_t& c : ext)
        c = towupper(c);
    return ext;
}

class WaitCursor {
public:
    WaitCursor() : old_(SetCursor(LoadCursorW(nullptr, IDC_WAIT))) {}
    ~WaitCursor() { SetCursor(old_); }

private:
    HCURSOR old_;
};

struct HandleCloser {
    HANDLE handle;
    ~HandleCloser() {
        if (handle != INVALID_HANDLE_VALUE)
            CloseHandle(handle);
    }
};

bool ReadAt(HANDLE file, int64_t offset, void* dest, DWORD bytes) {
    LARGE_INTEGER at;
    at.QuadPart = offset;
    DWORD got = 0;
    return SetFilePointerEx(file, at, nullptr, FILE_BEGIN) &&
           ReadFile(file, dest, bytes, &got, nullptr) && got == bytes;
}

uint32_t Le32(const uint8_t* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

uint16_t Le16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

bool Meets(const PictureRect& r, int32_t width, int32_t height) {
    return r.left < width && r.right >= 0 && r.bottom < height && r.top >= 0;
}

bool Inside(const PictureRect& r, const PictureRect& cached) {
    return cached.right != -1 && r.left >= cached.left && r.right <= cached.right &&
           r.bottom >= cached.bottom && r.top <= cached.top;
}

} // namespace

int BmpRowStride(int width, int bitsPerPixel) {
    return static_cast<int>((int64_t(width) * bitsPerPixel + 31) / 32 * 4);
}

bool IsRenderableExtension(const wchar_t* path) {
    static const wchar_t* const kExtensions[] = {L"BMP", L"JPG", L"JPEG", L"TKM", L"EAP", L"KAP"};
    std::wstring ext = Extension(path);
    for (const wchar_t* known : kExtensions) {
        if (ext == known)
            return true;
    }
    return false;
}

TiledMap::TiledMap() {
    kind = kItemMap;
}

TiledMap::~TiledMap() {
    ClearUsers();
    TiledMap::RemoveUser(nullptr);
}

void TiledMap::FreePicture() {
    if (picture)
        DeleteObject(picture);
    picture = nullptr;
    pictureBits = nullptr;
}

void TiledMap::ClosePicture() {
    jpeg_.reset();
    png_.reset();
}

bool TiledMap::OpenPicture(const wchar_t* picturePath, bool readHeader) {
    ClosePicture();
    pngFlag_ = Extension(picturePath) == L"PNG";
    if (pngFlag_) {
        png_ = std::make_unique<PngPicture>();
        if (!png_->Open(picturePath)) {
            png_.reset();
            return false;
        }
        width = png_->width();
        height = png_->height();
        bitsPerPixel = png_->bitDepth();
        return true;
    }
    try {
        jpeg_ = std::make_unique<JpegDecoder>();
        if (!jpeg_->OpenFile(picturePath)) {
            jpeg_.reset();
            return false;
        }
        if (readHeader) {
            jpeg_->UseFileSource();
            jpeg_->ReadHeader();
            width = jpeg_->imageWidth();
            height = jpeg_->imageHeight();
            bitsPerPixel = 8;
            resolution = 96;
        }
    } catch (const JpegError&) {
        jpeg_.reset();
        return false;
    }
    return true;
}

bool TiledMap::DecodeWholePicture() {
    if (pngFlag_ || Extension(path) == L"PNG") {
        if (!OpenPicture(path, true))
            return false;
        void* bits = nullptr;
        picture = CreateDibSection(png_->width(), png_->height(), 24, &bits);
        if (!picture) {
            UiMessageBox(nullptr, L"No memory", path, MB_OK | MB_TOPMOST);
            ClosePicture();
            return false;
        }
        pictureBits = bits;
        const int stride = DibStride(png_->width(), 24);
        std::vector<uint8_t*> rows(png_->height());
        for (size_t i = 0; i < rows.size(); ++i)
            rows[i] = static_cast<uint8_t*>(bits) + (rows.size() - 1 - i) * size_t(stride);
        bool ok = png_->ReadImage(rows);
        ClosePicture();
        GdiFlush();
        return ok;
    }
    try {
        // The header is read again: opening may have consumed it.
        if (!OpenPicture(path, false))
            return false;
        jpeg_->UseFileSource();
        jpeg_->ReadHeader();
        jpeg_->Start();
        void* bits = nullptr;
        picture = CreateDibSection(jpeg_->width(), jpeg_->height(), 24, &bits);
        if (!picture) {
            UiMessageBox(nullptr, L"No memory", path, MB_OK | MB_TOPMOST);
            ClosePicture();
            return false;
        }
        pictureBits = bits;
        const int stride = DibStride(jpeg_->width(), 24);
        const int rows = jpeg_->height();
        // The picture's first row is the bottom-up bitmap's last: the picture stands upright.
        for (int y = 0; y < rows; ++y)
            jpeg_->ReadRow(static_cast<uint8_t*>(bits) + size_t(rows - 1 - y) * stride);
        jpeg_->Finish();
        ClosePicture();
        GdiFlush();
        return true;
    } catch (const JpegError&) {
        ClosePicture();
        FreePicture();
        return false;
    }
}

void TiledMap::AddUser(HDC context, View* user) {
    if (IsInUse()) {
        ManagerItem::AddUser(context, user);
        return;
    }
    ManagerItem::AddUser(context, user);
    cached.right = -1;
    WaitCursor wait;
    if (wholeFile) {
        picture = SHLoadDIBitmap(path);
        if (picture)
            cached = PictureRect{0, height, width, 0};
        return;
    }
    if (DecodeWholePicture())
        cached = PictureRect{0, height, width, 0};
    else
        FreePicture();
}

bool TiledMap::RemoveUser(View* user) {
    bool empty = ManagerItem::RemoveUser(user);
    if (empty) {
        cached.right = -1;
        FreePicture();
        ClosePicture();
    }
    return empty;
}

POINT TiledMap::PixelToScreen(TrackingView* view, int32_t x, int32_t y) {
    TrackPoint point{};
    PixelToGeo(x, y, &point.longitude, &point.latitude);
    return view->IsCalibrationMap() ? view->ProjectToScreen(point) : view->GeoToScreen(point);
}

PictureRect TiledMap::VisiblePictureRect(TrackingView* view, const RECT& screen) {
    bool calibrating = view->IsCalibrationMap();
    TrackPoint a = calibrating ? view->UnprojectFromScreen(POINT{screen.left, screen.top})
                               : view->ScreenToGeo(POINT{screen.left, screen.top});
    TrackPoint b = calibrating ? view->UnprojectFromScreen(POINT{screen.right, screen.bottom})
                               : view->ScreenToGeo(POINT{screen.right, screen.bottom});
    POINT pa = GeoToPixel(a.longitude, a.latitude);
    POINT pb = GeoToPixel(b.longitude, b.latitude);
    return PictureRect{pa.x, pa.y, pb.x, pb.y};
}

RECT TiledMap::PictureRectToScreen(TrackingView* view, const PictureRect& rect) {
    POINT a = PixelToScreen(view, rect.left, rect.top);
    POINT b = PixelToScreen(view, rect.right, rect.bottom);
    return RECT{a.x, a.y, b.x, b.y};
}

void TiledMap::Draw(View* base) {
    TrackingView* view = static_cast<TrackingView*>(base);
    if (view)
        Draw(view, RECT{0, 0, view->width, view->height});
}

void TiledMap::Draw(TrackingView* view, const RECT& screen) {
    if (!view || !view->paintDc)
        return;
    DrawOutline(view);
    if (!visible || !opened || ScaleOffset(view->position.scale) == kNoScaleOffset)
        return;
    PictureRect r = VisiblePictureRect(view, screen);
    if (visible != 1 || !IsInUse() || !Meets(r, width, height))
        return;
    r.left = std::max(r.left, 0);
    r.right = std::min(r.right, width);
    r.bottom = std::max(r.bottom, 0);
    r.top = std::min(r.top, height);

    UniqueDc memoryDc(CreateCompatibleDC(view->paintDc));
    if (!memoryDc)
        return;
    bool paintable = true;
    if (!rerenderPermitted) {
        r.left = std::max(r.left, cached.left);
        r.right = std::min(r.right, cached.right);
        r.bottom = std::max(r.bottom, cached.bottom);
        r.top = std::min(r.top, cached.top);
        paintable = cached.right != -1 && r.left < r.right && r.bottom < r.top;
    } else if (!Inside(r, cached) && IsRenderableExtension(path)) {
        FreePicture();
        WaitCursor wait;
        Render(memoryDc.get(), path, &r, &view->abortRender);
    }
    if (picture && paintable) {
        // The render may have widened the rectangle (whole tiles): paint only what was asked.
        sourceOffset = POINT{r.left - cached.left, cached.top - r.top};
        PaintToView(view, memoryDc.get(), r, true, false);
    } else if (!picture && rerenderPermitted) {
        PaintBands(view, memoryDc.get(), r);
    }
    memoryDc.reset();
    DrawOutline(view);
    if (view->showNorthArrow)
        DrawDirectionArrow(view);
    int index = 0;
    for (RefPoint* node = projection->refPoints; node && node->x != -1;
         node = node->next, ++index) {
        if (index < 2 && calibrationPixels[index].x != kPixelNotSet)
            DrawRefPoints(view, calibrationPixels[index], index);
        else if (view->showRefPoints)
            DrawRefPoints(view, POINT{node->x, node->y}, index);
    }
}

void TiledMap::PaintBands(TrackingView* view, HDC memoryDc, const PictureRect& r) {
    if (r.top <= r.bottom || r.right <= r.left)
        return;
    const int32_t left = r.left / kBandRows * kBandRows;
    const int32_t right = r.right / kBandRows * kBandRows + kBandRows - 1;
    for (int32_t band = r.bottom / kBandRows; band <= (r.top - 1) / kBandRows; ++band) {
        if (view->abortRender)
            break;
        FreePicture();
        PictureRect bandRect{left, band * kBandRows + kBandRows, right, band * kBandRows};
        Render(memoryDc, path, &bandRect, &view->abortRender);
        if (!picture)
            break;
        PictureRect paint{std::max(r.left, cached.left), std::min(r.top, cached.top),
                          std::min(r.right, cached.right), std::max(r.bottom, cached.bottom)};
        if (paint.left >= paint.right || paint.bottom >= paint.top)
            continue;
        sourceOffset = POINT{paint.left - cached.left, cached.top - paint.top};
        PaintToView(view, memoryDc, paint, false, false);
    }
}

void TiledMap::PaintToView(TrackingView* view, HDC memoryDc, const PictureRect& rect,
                           bool borderFill, bool transparent) {
    HDC dc = view->paintDc;
    RECT s = PictureRectToScreen(view, rect);
    if (borderFill && !transparent) {
        HPEN pen = CreatePen(PS_SOLID, 1, kMapBorderColour);
        HBRUSH brush = CreateSolidBrush(kMapBorderColour);
        {
            SelectScope penScope(dc, pen);
            SelectScope brushScope(dc, brush);
            const int w = view->width, h = view->height;
            if (s.left > 0)
                Rectangle(dc, 0, 0, s.left, h);
            if (s.right < w)
                Rectangle(dc, s.right, 0, w, h);
            if (s.top > 0)
                Rectangle(dc, 0, 0, w, s.top);
            if (s.bottom < h)
                Rectangle(dc, 0, s.bottom, w, h);
        }
        DeleteObject(pen);
        DeleteObject(brush);
    }
    if (!picture)
        return;
    SelectScope scope(memoryDc, picture);
    const int srcWidth = rect.right - rect.left, srcHeight = rect.top - rect.bottom;
    if (transparent) {
        TransparentImage(dc, s.left, s.top, s.right - s.left, s.bottom - s.top, memoryDc,
                         sourceOffset.x, sourceOffset.y, srcWidth, srcHeight,
                         kMapTransparentColour);
    } else {
        int oldMode = SetStretchBltMode(dc, COLORONCOLOR);
        StretchBlt(dc, s.left, s.top, s.right - s.left, s.bottom - s.top, memoryDc, sourceOffset.x,
                   sourceOffset.y, srcWidth, srcHeight, SRCCOPY);
        SetStretchBltMode(dc, oldMode);
    }
}

void TiledMap::Render(HDC, const wchar_t* picturePath, PictureRect* rect, volatile LONG*) {
    std::wstring ext = Extension(picturePath);
    if (ext == L"JPG" || ext == L"JPEG")
        RenderJpeg(picturePath, rect);
    else if (ext == L"BMP")
        RenderBmp(picturePath, rect);
}

void TiledMap::RenderJpeg(const wchar_t* picturePath, PictureRect* rect) {
    PictureRect r = *rect;
    r.right = std::min(r.right, width);
    r.top = std::min(r.top, height);
    r.left = std::max(r.left, 0);
    r.bottom = std::max(r.bottom, 0);
    if (r.left >= r.right || r.bottom >= r.top)
        return;
    const int outWidth = r.right - r.left, outHeight = r.top - r.bottom;
    try {
        if (!OpenPicture(picturePath, false))
            return;
        jpeg_->UseFileSource();
        jpeg_->ReadHeader();
        if (jpeg_->imageWidth() != width || jpeg_->imageHeight() != height) {
            ClosePicture(); // the file changed since it was opened
            return;
        }
        void* bits = nullptr;
        picture = CreateDibSection(outWidth, outHeight, 24, &bits);
        if (!picture) {
            ClosePicture();
            return;
        }
        pictureBits = bits;
        jpeg_->Start();
        const int firstRow = height - r.top; // picture rows count from the top
        const int cropLeft = jpeg_->Crop(r.left, outWidth);
        const size_t rowBytes = size_t(jpeg_->width()) * 3;
        size_t stripRows =
            std::min<size_t>(outHeight, std::max<size_t>(1, kStripBudgetBytes / rowBytes));
        std::vector<uint8_t> strip;
        for (int attempt = 0; attempt < 3 && strip.empty();
             ++attempt, stripRows = std::max<size_t>(1, stripRows / 2)) {
            try {
                strip.resize(stripRows * rowBytes);
            } catch (const std::bad_alloc&) {
                strip.clear();
            }
        }
        if (strip.empty()) {
            FreePicture();
            ClosePicture();
            return;
        }
        jpeg_->SkipRows(firstRow);
        const int stride = DibStride(outWidth, 24);
        uint8_t* base = static_cast<uint8_t*>(bits);
        for (int done = 0; done < outHeight;) {
            int n = std::min<int>(int(stripRows), outHeight - done);
            for (int i = 0; i < n; ++i)
                jpeg_->ReadRow(strip.data() + size_t(i) * rowBytes);
            for (int i = 0; i < n; ++i) {
                uint8_t* dest = base + size_t(outHeight - 1 - (done + i)) * stride;
                memcpy(dest, strip.data() + size_t(i) * rowBytes + size_t(r.left - cropLeft) * 3,
                       size_t(outWidth) * 3);
            }
            done += n;
        }
        jpeg_->Finish();
        ClosePicture();
        GdiFlush();
        cached = r;
        *rect = r;
    } catch (const JpegError&) {
        ClosePicture();
        FreePicture();
    }
}

void TiledMap::RenderBmp(const wchar_t* picturePath, PictureRect* rect) {
    HandleCloser file{CreateFileW(picturePath, GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)};
    if (file.handle == INVALID_HANDLE_VALUE)
        return;
    LARGE_INTEGER fileSize;
    if (!GetFileSizeEx(file.handle, &fileSize))
        return;
    // File header (14 bytes): "BM", size, reserved, offset of the pixels; then the info header,
    // whose first word is its own size (40, or larger for the later versions).
    uint8_t head[14 + 40];
    if (!ReadAt(file.handle, 0, head, sizeof(head)) || head[0] != 'B' || head[1] != 'M')
        return;
    const uint32_t pixelOffset = Le32(head + 10);
    const uint32_t infoSize = Le32(head + 14);
    const int32_t bmpWidth = static_cast<int32_t>(Le32(head + 18));
    const int32_t rawHeight = static_cast<int32_t>(Le32(head + 22));
    const uint16_t bits = Le16(head + 28);
    const uint32_t compression = Le32(head + 30);
    uint32_t colours = Le32(head + 46);
    if (infoSize < 40 || infoSize > 1024 || bmpWidth <= 0 || rawHeight == 0 ||
        rawHeight == INT32_MIN)
        return;
    if ((bits != 1 && bits != 4 && bits != 8) || compression != BI_RGB)
        return;
    if (colours == 0)
        colours = 1u << bits;
    if (colours > (1u << bits))
        return;
    const bool topDown = rawHeight < 0;
    const int32_t bmpHeight = topDown ? -rawHeight : rawHeight;
    PictureRect r = *rect;
    r.right = std::min(r.right, bmpWidth);
    r.top = std::min(r.top, bmpHeight);
    r.left = std::max(r.left, 0);
    r.bottom = std::max(r.bottom, 0);
    if (r.left >= r.right || r.bottom >= r.top)
        return;
    // Rows are read from a whole byte: below 8 bits the left edge moves to one.
    const int pixelsPerByte = 8 / bits;
    r.left -= r.left % pixelsPerByte;
    const int64_t tableOffset = 14 + int64_t(infoSize);
    const int64_t tableEnd = tableOffset + int64_t(colours) * 4;
    const int64_t dataOffset =
        pixelOffset >= tableEnd && pixelOffset < fileSize.QuadPart ? pixelOffset : tableEnd;
    const int stride = BmpRowStride(bmpWidth, bits);
    if (dataOffset + int64_t(stride) * bmpHeight > fileSize.QuadPart)
        return;

    struct PaletteInfo {
        BITMAPINFOHEADER header;
        RGBQUAD colours[256];
    } info{};
    if (!ReadAt(file.handle, tableOffset, info.colours, colours * 4))
        return;
    const int outWidth = r.right - r.left, outHeight = r.top - r.bottom;
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = outWidth;
    info.header.biHeight = outHeight;
    info.header.biPlanes = 1;
    info.header.biBitCount = bits;
    info.header.biCompression = BI_RGB;
    info.header.biClrUsed = colours;
    void* pixels = nullptr;
    HDC screen = GetDC(nullptr);
    picture = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS,
                               &pixels, nullptr, 0);
    ReleaseDC(nullptr, screen);
    if (!picture)
        return;
    pictureBits = pixels;
    const int outStride = DibStride(outWidth, bits);
    const int64_t leftByte = int64_t(r.left) * bits / 8;
    const DWORD count = static_cast<DWORD>(
        std::min<int64_t>((int64_t(outWidth) * bits + 7) / 8, stride - leftByte));
    for (int32_t y = r.bottom; y < r.top; ++y) {
        int64_t fileRow = topDown ? bmpHeight - 1 - y : y;
        uint8_t* dest = static_cast<uint8_t*>(pixels) + size_t(y - r.bottom) * outStride;
        if (!ReadAt(file.handle, dataOffset + fileRow * stride + leftByte, dest, count)) {
            FreePicture();
            return;
        }
    }
    GdiFlush();
    cached = r;
    *rect = r;
}

void TiledMap::DrawOutline(TrackingView* view) {
    HDC dc = view->paintDc;
    COLORREF colour = !opened                    ? RGB(255, 0, 0)
                      : !visible                 ? RGB(255, 255, 0)
                      : view->currentMap == this ? RGB(0, 160, 0)
                                                 : RGB(7, 0, 0);
    const int k = std::max(1, view->screenScale);
    RECT s = PictureRectToScreen(view, PictureRect{0, height, width, 0});
    HPEN pen = CreatePen(PS_SOLID, k, colour);
    {
        SelectScope penScope(dc, pen);
        SelectScope brushScope(dc, GetStockObject(HOLLOW_BRUSH));
        Rectangle(dc, s.left, s.top, s.right, s.bottom);
        Rectangle(dc, s.left + 2, s.top - 2, s.right - 2, s.bottom + 2);
    }
    DeleteObject(pen);
    const int nameBottom = std::min(s.top, s.bottom) - 1;
    RECT band{s.left + 4, nameBottom - 20, s.right - 4, nameBottom};
    int oldMode = SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, name, -1, &band, DT_SINGLELINE | DT_VCENTER);
    SetBkMode(dc, oldMode);
}

void TiledMap::DrawRefPoints(TrackingView* view, POINT pixel, int index) {
    if (!showRefPoints)
        return;
    HDC dc = view->paintDc;
    const int k = std::max(1, view->screenScale);
    POINT s = PixelToScreen(view, pixel.x, pixel.y);
    HPEN pen = CreatePen(PS_SOLID, 2 * k, RGB(255, 0, 0));
    {
        SelectScope penScope(dc, pen);
        SelectScope brushScope(dc, GetStockObject(HOLLOW_BRUSH));
        Ellipse(dc, s.x - 10 * k, s.y - 10 * k, s.x + 10 * k, s.y + 10 * k);
        MoveToEx(dc, s.x - 10 * k, s.y, nullptr);
        LineTo(dc, s.x + 10 * k, s.y);
        MoveToEx(dc, s.x, s.y - 10 * k, nullptr);
        LineTo(dc, s.x, s.y + 10 * k);
    }
    DeleteObject(pen);
    if (index < 0)
        return;
    wchar_t number[16];
    swprintf(number, 16, L"%d", index + 1);
    RECT box{s.x - 10 * k, s.y - 20 * k, s.x + 10 * k, s.y - 10 * k};
    int oldMode = SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, number, -1, &box, DT_CENTER | DT_SINGLELINE | DT_NOCLIP);
    SetBkMode(dc, oldMode);
}

void TiledMap::DrawDirectionArrow(TrackingView* view) {
    const ViewPosition& p = view->position;
    int32_t drop = (coverage[3] - coverage[1]) / 10;
    POINT a = GeoToPixel(p.centreLongitude, p.centreLatitude);
    POINT b = GeoToPixel(p.centreLongitude, p.centreLatitude - drop);
    rotation = std::atan2(100.0 * (a.x - b.x), 100.0 * (a.y - b.y));
    const int k = std::max(1, view->screenScale);
    int degrees = TruncateToInt(rotation * 57.29577951308232 + 0.5);
    DrawArrowMarker(view->paintDc, view->width - 30 * k, 30 * k, degrees, k);
}
