#include "maps/map_base.h"

#include <algorithm>
#include <cmath>
#include <cwchar>
#include <string>

#include "core/date_text.h"
#include "core/resource_module.h"
#include "core/truncate.h"
#include "maps/fixed_trig.h"
#include "geo/projection.h"
#include "geo/utm_projection.h"
#include "geo/wgs84_projection.h"
#include "platform/program_key.h"
#include "resources/resource.h"
#include "views/tracking_view.h"

const int16_t kMapScaleFactors[6] = {8, 4, 2, 1, 2, 4};

namespace {

constexpr int32_t kTenArcMinutes = 290888; // radians x 10^8

void CopyBounded(wchar_t* dst, size_t chars, const std::wstring& src) {
    if (chars == 0)
        return;
    size_t n = std::min(src.size(), chars - 1);
    wmemcpy(dst, src.data(), n);
    dst[n] = L'\0';
}

std::wstring DirectoryPart(const std::wstring& path) {
    size_t at = path.find_last_of(L"\\/");
    return at == std::wstring::npos ? std::wstring() : path.substr(0, at);
}

std::wstring FileNamePart(const std::wstring& path) {
    size_t at = path.find_last_of(L"\\/");
    return at == std::wstring::npos ? path : path.substr(at + 1);
}

void CreateFolders(const std::wstring& folder) {
    for (size_t i = 1; i < folder.size(); ++i) {
        if (folder[i] == L'\\' && folder[i - 1] != L':')
            CreateDirectoryW(folder.substr(0, i).c_str(), nullptr);
    }
}

// The folder below newBase that mirrors the item's place below oldBase, with a final backslash.
std::wstring TargetFolder(const std::wstring& path, const wchar_t* oldBase,
                          const wchar_t* newBase) {
    std::wstring oldText = oldBase ? oldBase : L"";
    size_t common = 0;
    while (common < path.size() && common < oldText.size() && path[common] == oldText[common])
        ++common;
    std::wstring relativeFolder = DirectoryPart(path.substr(common));
    std::wstring target = DirectoryPart(newBase ? newBase : L"") + relativeFolder + L"\\";
    CreateFolders(target);
    return target;
}

bool FileExists(const wchar_t* path) {
    return path[0] && GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
}

RefPoint* NewRefPoint() {
    return new RefPoint();
}

void FreeRefPoints(RefPoint* head) {
    while (head) {
        RefPoint* next = head->next;
        delete head;
        head = next;
    }
}

// The list's first n nodes, appended when missing.
RefPoint* EnsureNode(Projection* projection, int index) {
    RefPoint** link = &projection->refPoints;
    for (int i = 0;; ++i) {
        if (!*link)
            *link = NewRefPoint();
        if (i == index)
            return *link;
        link = &(*link)->next;
    }
}

// Resource formats write "%s" for wide texts; C99 printf reads that as narrow.
std::wstring WideFormat(const wchar_t* format) {
    std::wstring out;
    for (const wchar_t* p = format; *p; ++p) {
        out += *p;
        if (*p != L'%')
            continue;
        if (p[1] == L'%') {
            out += *++p;
            continue;
        }
        while (p[1] && wcschr(L"-+ #0123456789.", p[1]))
            out += *++p;
        if (p[1] == L's')
            out += L'l';
    }
    return out;
}

} // namespace

MapBase::MapBase() {
    kind = kItemMap;
    FormatDate(dateText, kItemDateChars);
    projection = new UtmProjection();
    calibration = new UtmProjection();
    calibration->refPoints = NewRefPoint();
    calibration->refPoints->next = NewRefPoint();
    for (POINT& p : calibrationPixels)
        p = POINT{kPixelNotSet, 0};
}

MapBase::~MapBase() {
    if (picture)
        DeleteObject(picture);
    FreeRefPoints(projection->refPoints);
    FreeRefPoints(calibration->refPoints);
    delete projection;
    delete calibration;
}

POINT MapBase::GeoToPixel(int32_t longitude, int32_t latitude) {
    TrackPoint point{};
    point.longitude = longitude;
    point.latitude = latitude;
    PixelPoint pixel = projection->GeoToPixel(point, false);
    return POINT{pixel.x, pixel.y};
}

void MapBase::PixelToGeo(int32_t x, int32_t y, int32_t* longitude, int32_t* latitude) {
    TrackPoint point = projection->PixelToGeo(x, y, false);
    *longitude = point.longitude;
    *latitude = point.latitude;
}

void MapBase::SetName(const wchar_t* newName) {
    wchar_t mapWord[64];
    if (LoadResString(IDS_MAP_KEY, mapWord, 64) > 0 && name[0]) {
        std::wstring key = std::wstring(ProgramKeyPath()) + L"\\" + mapWord + L"\\" + name;
        RegDeleteKeyW(HKEY_LOCAL_MACHINE, key.c_str());
    }
    ManagerItem::SetName(newName);
    StoreFileState();
}

void MapBase::GetInfoText(wchar_t* buffer, size_t chars) {
    if (!buffer || chars == 0)
        return;
    buffer[0] = L'\0';
    LONGLONG size = 0;
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        LARGE_INTEGER bytes;
        if (GetFileSizeEx(file, &bytes))
            size = bytes.QuadPart;
        CloseHandle(file);
    }
    wchar_t format[256];
    if (LoadResString(IDS_MAP_INFO, format, 256) == 0)
        return;
    swprintf(buffer, chars, WideFormat(format).c_str(), path, dateText, projection->name, width,
             height, bitsPerPixel, static_cast<int>(std::min<LONGLONG>(size, INT32_MAX)));
}

bool MapBase::RenameFile(const wchar_t* oldBase, const wchar_t* newBase) {
    std::wstring target = TargetFolder(path, oldBase, newBase);
    std::wstring pictureTarget = target + FileNamePart(path);
    if (!MoveFileW(path, pictureTarget.c_str()))
        return false;
    SetPath(pictureTarget.c_str());
    // A map without a calibration file has only its picture to move.
    if (!FileExists(calPath))
        return true;
    std::wstring calTarget = target + FileNamePart(calPath);
    if (!MoveFileW(calPath, calTarget.c_str()))
        return false;
    CopyBounded(calPath, kItemPathChars, calTarget);
    return true;
}

int32_t MapBase::GetMinScale() {
    return nativeScale / kMapScaleFactors[5];
}

int32_t MapBase::GetMaxScale() {
    int64_t max = int64_t(nativeScale) * kMapScaleFactors[0];
    return static_cast<int32_t>(std::min<int64_t>(max, INT32_MAX));
}

int32_t MapBase::ScaleOffset(int32_t scale) {
    if (scale >= GetMinScale() && scale <= GetMaxScale())
        return scale - nativeScale;
    return kNoScaleOffset;
}

void MapBase::ComputeScale() {
    RefPoint* first = projection->refPoints;
    int32_t lon = first ? first->longitude : 0;
    int32_t lat = first ? first->latitude : 0;
    nativeScale = TruncateToInt(projection->GetScale(lat) * 4400.0);
    POINT a = GeoToPixel(lon, lat);
    POINT b = GeoToPixel(lon, lat - kTenArcMinutes);
    rotation = std::atan2(double(a.x - b.x), double(a.y - b.y));
}

void MapBase::ComputeBounds() {
    PixelToGeo(0, 0, &coverage[0], &coverage[1]);
    PixelToGeo(width, height, &coverage[2], &coverage[3]);
}

void MapBase::PictureCorners(TrackingView* view, POINT centre, POINT* s0, POINT* s1) {
    // The scale of the corners is the caller's: set through the view's scale word.
    *s0 = view->MapPixelToScreen(POINT{0, 0}, this, false, 0, &centre);
    *s1 = view->MapPixelToScreen(POINT{width, height}, this, false, 0, &centre);
}

double MapBase::IsInView(View* base, const ViewPosition* record, int32_t scale, int which) {
    TrackingView* view = static_cast<TrackingView*>(base);
    if (!view || !record || scale <= 0)
        return 0.0;
    int32_t lon = which ? record->fixLongitude : record->storedLongitude;
    int32_t lat = which ? record->fixLatitude : record->storedLatitude;
    POINT centre = GeoToPixel(lon, lat);
    POINT s0 = view->MapPixelToScreen(POINT{0, 0}, this, false, scale, &centre);
    POINT s1 = view->MapPixelToScreen(POINT{width, height}, this, false, scale, &centre);
    if (!(s0.x <= view->width && s1.x >= 0 && s0.y >= 0 && s1.y <= view->height))
        return 0.0;
    int16_t quarterDegrees = static_cast<int16_t>(lat / 436332);
    // Within about 0.2 degrees of a pole the cosine rounds to 0: one unit keeps the window finite.
    int64_t c = std::max<int64_t>(1, int64_t(FixedCos(quarterDegrees)) * 279 / 10000);
    int32_t halfWidth = TruncateToInt(double(view->width / 2) * scale / double(c));
    int32_t halfHeight = TruncateToInt(double(view->height / 2) * scale * (1.0 / 279));
    int64_t west = int64_t(lon) - halfWidth, east = int64_t(lon) + halfWidth;
    int64_t south = int64_t(lat) - halfHeight, north = int64_t(lat) + halfHeight;
    int64_t boxWest = std::min(coverage[0], coverage[2]),
            boxEast = std::max(coverage[0], coverage[2]);
    int64_t boxSouth = std::min(coverage[1], coverage[3]);
    int64_t boxNorth = std::max(coverage[1], coverage[3]);
    int64_t overlapWidth = std::min(boxEast, east) - std::max(boxWest, west);
    int64_t overlapHeight = std::min(boxNorth, north) - std::max(boxSouth, south);
    if (overlapWidth <= 0 || overlapHeight <= 0)
        return 0.0;
    return (double(overlapWidth) * double(c) / scale) * (double(overlapHeight) * 279.0 / scale);
}

bool MapBase::LocatePosition(TrackingView* view, POINT screen) {
    if (IsInView(view, &view->position, view->position.scale, view->lockMode) == 0.0)
        return false;
    POINT centre = GeoToPixel(view->position.centreLongitude, view->position.centreLatitude);
    POINT s0, s1;
    PictureCorners(view, centre, &s0, &s1);
    return s0.x <= screen.x && screen.x <= s1.x && s1.y <= screen.y && screen.y <= s0.y;
}

bool MapBase::LocatePosition2(TrackingView* view, int32_t scale) {
    if (IsInView(view, &view->position, scale, view->lockMode) == 0.0)
        return false;
    const ViewPosition& p = view->position;
    POINT centre = view->lockMode ? GeoToPixel(p.fixLongitude, p.fixLatitude)
                                  : GeoToPixel(p.centreLongitude, p.centreLatitude);
    POINT s0 = view->MapPixelToScreen(POINT{0, 0}, this, false, scale, &centre);
    POINT s1 = view->MapPixelToScreen(POINT{width, height}, this, false, scale, &centre);
    return s0.x < view->width && s1.x >= 0 && s1.y < view->height && s0.y >= 0;
}

void MapBase::CentreViewOnMap(TrackingView* view) {
    RefPoint* a = projection->refPoints;
    RefPoint* b = a ? a->next : nullptr;
    if (!a || !b)
        return;
    int32_t lon = static_cast<int32_t>((int64_t(a->longitude) + b->longitude) >> 1);
    int32_t lat = static_cast<int32_t>((int64_t(a->latitude) + b->latitude) >> 1);
    view->position.storedLongitude = view->position.centreLongitude = lon;
    view->position.storedLatitude = view->position.centreLatitude = lat;
    view->zoomLevels.Find(nativeScale);
    view->position.scale = nativeScale;
    view->UpdateGeoRect();
    view->SetLock(kLockFree, false, 0);
    view->InvalidateEx(true, true);
}

void MapBase::SetRefPixel(int index, POINT pixel) {
    if (index < 0 || index > 2)
        return;
    calibrationPixels[index] = pixel;
    if (index < 2) {
        RefPoint* node = EnsureNode(calibration, index);
        node->x = pixel.x;
        node->y = pixel.y;
    }
}

void MapBase::SetRefCoord(int index, int32_t longitude, int32_t latitude) {
    if (index < 0 || index > 1)
        return;
    RefPoint* node = EnsureNode(calibration, index);
    node->longitude = longitude;
    node->latitude = latitude;
}

void MapBase::ClearRefPixel(int index) {
    if (index >= 0 && index <= 2)
        calibrationPixels[index].x = kPixelNotSet;
}

void MapBase::CopyRefPoints() {
    RefPoint* from = projection->refPoints;
    for (int i = 0; i < 2 && from; ++i, from = from->next) {
        RefPoint* to = EnsureNode(calibration, i);
        to->x = from->x;
        to->y = from->y;
        to->longitude = from->longitude;
        to->latitude = from->latitude;
    }
}

void MapBase::SetupProjectionOrFallBack() {
    if (projection->Setup(width, height))
        return;
    RefPoint* list = projection->refPoints;
    delete projection;
    projection = new Wgs84Projection();
    projection->SetRefPoints(list);
    projection->Setup(width, height);
}

void MapBase::Calibrate() {
    RefPoint* a = EnsureNode(calibration, 0);
    RefPoint* b = EnsureNode(calibration, 1);
    if (!CalibrationPointsConsistent(a->x, a->y, a->longitude, a->latitude, b->x, b->y,
                                     b->longitude, b->latitude))
        return;
    for (int i = 0; i < 2; ++i) {
        const RefPoint* from = i == 0 ? a : b;
        RefPoint* to = EnsureNode(projection, i);
        to->x = from->x;
        to->y = from->y;
        to->longitude = from->longitude;
        to->latitude = from->latitude;
    }
    SetupProjectionOrFallBack();
    ComputeBounds();
    ComputeScale();
}

void MapBase::FitToView(TrackingView* view) {
    const int w = view->width, h = view->height;
    TrackPoint p0 = view->ScreenToGeo(POINT{(w >> 1) - (width >> 1), (h >> 1) + (height >> 1)});
    TrackPoint p1 = view->ScreenToGeo(POINT{(w >> 1) + (width >> 1), (h >> 1) - (height >> 1)});
    RefPoint* n0 = EnsureNode(projection, 0);
    RefPoint* n1 = EnsureNode(projection, 1);
    n0->x = 0;
    n0->y = 0;
    n0->longitude = p0.longitude;
    n0->latitude = p0.latitude;
    n1->x = width - 1;
    n1->y = height - 1;
    n1->longitude = p1.longitude;
    n1->latitude = p1.latitude;
    SetupProjectionOrFallBack();
    CopyRefPoints();
    ComputeBounds();
    ComputeScale();
}
