#include "maps/image_map.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "core/date_text.h"
#include "core/resource_module.h"
#include "geo/lambert_azimuthal_projection.h"
#include "geo/lambert_conformal_projection.h"
#include "geo/mercator_projection.h"
#include "geo/osm_projection.h"
#include "geo/projection.h"
#include "geo/transverse_mercator_projection.h"
#include "maps/dib_section.h"
#include "platform/imaging_factory.h"
#include "platform/ui_seam.h"
#include "resources/resource.h"
#include "views/tracking_view.h"

namespace {

constexpr int kTkmJpegQuality = 90;
const char kOsmNotice[] = "Map data: OpenStreetMap contributors\r\n"
                          "Licence: Open Database License (ODbL)\r\n";

std::wstring BaseName(const wchar_t* path) {
    std::wstring text = path ? path : L"";
    size_t slash = text.find_last_of(L"\\/");
    std::wstring name = slash == std::wstring::npos ? text : text.substr(slash + 1);
    size_t dot = name.find_last_of(L'.');
    return dot == std::wstring::npos ? name : name.substr(0, dot);
}

std::wstring ExtensionOf(const std::wstring& path) {
    size_t slash = path.find_last_of(L"\\/");
    size_t dot = path.find_last_of(L'.');
    if (dot == std::wstring::npos || (slash != std::wstring::npos && slash > dot))
        return L"";
    return path.substr(dot);
}

struct FileHandle {
    HANDLE handle;
    explicit FileHandle(HANDLE h) : handle(h) {}
    ~FileHandle() {
        if (handle != INVALID_HANDLE_VALUE)
            CloseHandle(handle);
    }
    bool ok() const { return handle != INVALID_HANDLE_VALUE; }
    int64_t Size() const {
        LARGE_INTEGER size;
        return GetFileSizeEx(handle, &size) ? size.QuadPart : 0;
    }
    bool ReadAt(int64_t offset, void* dest, DWORD bytes) const {
        LARGE_INTEGER at;
        at.QuadPart = offset;
        DWORD got = 0;
        return offset >= 0 && SetFilePointerEx(handle, at, nullptr, FILE_BEGIN) &&
               ReadFile(handle, dest, bytes, &got, nullptr) && got == bytes;
    }
};

HANDLE OpenRead(const wchar_t* path) {
    return CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

int32_t Le32(const uint8_t* p) {
    return int32_t(uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) |
                   (uint32_t(p[3]) << 24));
}

int32_t ParamWord(const std::vector<uint8_t>& bytes, size_t i) {
    return Le32(bytes.data() + 4 * i);
}

double ParamDouble(const std::vector<uint8_t>& bytes, size_t i) {
    double v;
    memcpy(&v, bytes.data() + 8 * i, 8);
    return v;
}

// The projection a TKM file names, or null for kinds that keep the current one (or that come
// with too few parameter bytes).
Projection* ProjectionOfKind(int32_t kind, const std::vector<uint8_t>& p, bool* osm) {
    *osm = false;
    const size_t words = p.size() / 4;
    switch (kind) {
    case 2:
        return words >= 2 ? new LambertAzimuthalProjection(ParamWord(p, 0), ParamWord(p, 1))
                          : nullptr;
    case 3:
        return words >= 4 ? new LambertConformalProjection(ParamWord(p, 0), ParamWord(p, 1),
                                                           ParamWord(p, 2), ParamWord(p, 3))
                          : nullptr;
    case 4:
    case 7:
        return words >= 2 ? new MercatorProjection(ParamWord(p, 0), ParamWord(p, 1), kind == 7)
                          : nullptr;
    case 5:
        return words >= 2 ? new TransverseMercatorProjection(ParamWord(p, 0), ParamWord(p, 1))
                          : nullptr;
    case 6: {
        auto* projection = new OsmProjection();
        if (p.size() >= 16)
            projection->SetScales(ParamDouble(p, 0), ParamDouble(p, 1));
        *osm = true;
        return projection;
    }
    default:
        return nullptr;
    }
}

void AppendRefPoint(Projection* projection, int32_t x, int32_t y, int32_t lon, int32_t lat) {
    RefPoint** link = &projection->refPoints;
    while (*link)
        link = &(*link)->next;
    *link = new RefPoint();
    (*link)->x = x;
    (*link)->y = y;
    (*link)->longitude = lon;
    (*link)->latitude = lat;
}

void ShowTkmError(UINT textId, const wchar_t* path) {
    wchar_t format[256], caption[64], text[600];
    if (LoadResString(textId, format, 256) == 0)
        return;
    LoadResString(IDS_TKM_CAPTION, caption, 64);
    swprintf(text, 600, format, path);
    UiMessageBox(nullptr, text, caption, MB_OK | MB_ICONERROR | MB_TOPMOST);
}

struct JpegDestination {
    jpeg_destination_mgr pub;
    TkmFileWriter* out;
    uint8_t buffer[16384];
    int64_t written;
};

void InitDestination(j_compress_ptr info) {
    auto* d = reinterpret_cast<JpegDestination*>(info->dest);
    d->pub.next_output_byte = d->buffer;
    d->pub.free_in_buffer = sizeof(d->buffer);
}

boolean EmptyDestination(j_compress_ptr info) {
    auto* d = reinterpret_cast<JpegDestination*>(info->dest);
    d->out->Bytes(d->buffer, sizeof(d->buffer));
    d->written += sizeof(d->buffer);
    d->pub.next_output_byte = d->buffer;
    d->pub.free_in_buffer = sizeof(d->buffer);
    return TRUE;
}

void TermDestination(j_compress_ptr info) {
    auto* d = reinterpret_cast<JpegDestination*>(info->dest);
    size_t n = sizeof(d->buffer) - d->pub.free_in_buffer;
    d->out->Bytes(d->buffer, n);
    d->written += int64_t(n);
}

[[noreturn]] void CompressErrorExit(j_common_ptr) {
    throw JpegError();
}

} // namespace

int32_t CompressTile(TkmFileWriter& out, const uint8_t* dibBits, int dibWidth, int dibHeight, int x,
                     int y, int width, int height) {
    if (!dibBits || width <= 0 || height <= 0 || x < 0 || y < 0 || x + width > dibWidth ||
        y + height > dibHeight)
        return -1;
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    errors.error_exit = CompressErrorExit;
    JpegDestination dest{};
    dest.out = &out;
    int32_t result = -1;
    jpeg_create_compress(&info);
    try {
        dest.pub.init_destination = InitDestination;
        dest.pub.empty_output_buffer = EmptyDestination;
        dest.pub.term_destination = TermDestination;
        info.dest = &dest.pub;
        info.image_width = JDIMENSION(width);
        info.image_height = JDIMENSION(height);
        info.input_components = 3;
        info.in_color_space = JCS_EXT_BGR; // the DIB's own byte order
        jpeg_set_defaults(&info);
        jpeg_set_quality(&info, kTkmJpegQuality, TRUE);
        jpeg_start_compress(&info, TRUE);
        const int stride = DibStride(dibWidth, 24);
        for (int row = 0; row < height; ++row) {
            // Bottom-up bitmap: picture row y + row from the top is memory row height-1-(y+row).
            const uint8_t* src =
                dibBits + size_t(dibHeight - 1 - (y + row)) * stride + size_t(x) * 3;
            JSAMPROW line = const_cast<JSAMPROW>(src);
            jpeg_write_scanlines(&info, &line, 1);
        }
        jpeg_finish_compress(&info);
        if (out.ok() && dest.written <= INT32_MAX)
            result = int32_t(dest.written);
    } catch (const JpegError&) {
        result = -1;
    }
    jpeg_destroy_compress(&info);
    return result;
}

ImageMap::ImageMap() = default;

ImageMap::~ImageMap() {
    ClearUsers();
    ImageMap::RemoveUser(nullptr);
    ReleaseFactory();
}

void ImageMap::ReleaseFactory() {
    if (factory)
        factory->Release();
    factory = nullptr;
}

void ImageMap::SetName(const wchar_t* newName) {
    if (!newName || !*newName)
        return;
    std::wstring old = path;
    size_t slash = old.find_last_of(L"\\/");
    std::wstring target =
        (slash == std::wstring::npos ? L"." : old.substr(0, slash)) + L"\\" + newName;
    // The file keeps its kind: a name without an extension takes the old one.
    if (ExtensionOf(newName).empty())
        target += ExtensionOf(old);
    if (MoveFileW(old.c_str(), target.c_str()))
        SetPath(target.c_str());
    ManagerItem::SetName(newName);
}

void ImageMap::AddUser(HDC context, View* user) {
    bool first = !IsInUse();
    ManagerItem::AddUser(context, user);
    // Only the TKP and QMP containers need the imaging component.
    if (first && !wholeFile && !factory && FAILED(CreateImagingFactory(&factory)))
        factory = nullptr;
}

bool ImageMap::RemoveUser(View* user) {
    bool empty = TiledMap::RemoveUser(user);
    if (empty && !wholeFile)
        ReleaseFactory();
    return empty;
}

void ImageMap::StoreFileState() {
    if (_wcsicmp(ExtensionOf(path).c_str(), L".tkm") == 0)
        WriteVisibleFlag();
}

bool ImageMap::WriteVisibleFlag() {
    FileHandle file(CreateFileW(path, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.ok())
        return false;
    LARGE_INTEGER at;
    at.QuadPart = 4;
    uint8_t value = storedVisible ? 1 : 0;
    DWORD written = 0;
    return SetFilePointerEx(file.handle, at, nullptr, FILE_BEGIN) &&
           WriteFile(file.handle, &value, 1, &written, nullptr) && written == 1;
}

void ImageMap::StartOpening(const wchar_t* file, int32_t whole) {
    wholeFile = whole;
    opened = 1;
    SetPath(file);
    ManagerItem::SetName(BaseName(file).c_str());
    FormatDate(dateText, kItemDateChars);
    SetVisible(1, true);
    showRefPoints = 1;
    ClearUsers();
}

int ImageMap::Open(const wchar_t* file) {
    StartOpening(file, 1);
    int result = ReadHeader(file);
    if (result != 0)
        return result;
    if (!projection->Setup(width, height))
        return 1;
    CopyRefPoints();
    ComputeBounds();
    ComputeScale();
    resolution = 96;
    return 0;
}

int ImageMap::ReadHeader(const wchar_t* file) {
    TkmHeader h;
    if (ReadTkmHeader(file, &h) != 0)
        return 1;
    SetVisible(h.visible, true);
    width = h.width;
    height = h.height;
    tileWidth = h.tileWidth;
    tileHeight = h.tileHeight;
    columns = h.columns;
    rows = h.rows;
    if (h.hasName)
        ManagerItem::SetName(h.name.c_str());
    bitsPerPixel = h.bitsPerPixel;
    palette = h.palette;
    if (h.hasExtra)
        extraBlock = h.extra;
    bool osm = false;
    if (h.hasProjection) {
        if (Projection* replacement =
                ProjectionOfKind(h.projectionKind, h.projectionParams, &osm)) {
            replacement->SetRefPoints(projection->refPoints);
            delete projection;
            projection = replacement;
        }
    }
    if (osm)
        extraBlock.assign(kOsmNotice, kOsmNotice + sizeof(kOsmNotice) - 1);
    for (const TkmRefPoint& p : h.refPoints)
        AppendRefPoint(projection, p.x, p.y, p.longitude, p.latitude);
    if (projection->RefPointCount() < 2)
        AppendRefPoint(projection, width, 0, 0, 0);
    tiles = h.tiles;
    tileCount = int32_t(tiles.size());
    tileDataStart = h.tileDataStart;
    word13 = h.word13;
    word15 = h.word15;
    word262 = h.word262;
    pair261[0] = h.pair261[0];
    pair261[1] = h.pair261[1];
    return 0;
}

int ImageMap::OpenTkp(const wchar_t* file) {
    ReleaseFactory();
    if (FAILED(CreateImagingFactory(&factory)))
        return 1;
    StartOpening(file, 0);
    FileHandle in(OpenRead(file));
    uint8_t head[66];
    if (!in.ok() || !in.ReadAt(0, head, sizeof(head))) {
        ReleaseFactory();
        return 1;
    }
    width = head[18] | (head[19] << 8);
    height = head[22] | (head[23] << 8);
    const int64_t size = in.Size();
    // Index entries run from offset 66 up to the first picture (a JPEG start marker).
    tiles.clear();
    largestTile = 0;
    for (int64_t at = kTkmTileBase; at + 16 <= size; at += 16) {
        uint8_t e[16];
        if (!in.ReadAt(at, e, 16))
            break;
        if (e[0] == 0xFF && e[1] == 0xD8 && e[2] == 0xFF && e[3] == 0xE0)
            break;
        TkmTileEntry entry{Le32(e), Le32(e + 4), Le32(e + 8), 0, 0};
        if (entry.position != kTkmNoTile && (entry.position < 0 || entry.length <= 0 ||
                                             kTkmTileBase + entry.position + entry.length > size))
            entry.position = kTkmNoTile;
        largestTile = std::max(largestTile, uint32_t(std::max(entry.length, 0)));
        tiles.push_back(entry);
    }
    tileCount = int32_t(tiles.size());
    auto first = std::find_if(tiles.begin(), tiles.end(),
                              [](const TkmTileEntry& e) { return e.position != kTkmNoTile; });
    ImageInfo info{};
    if (first != tiles.end()) {
        std::vector<uint8_t> data(size_t(first->length));
        IImage* image = nullptr;
        if (in.ReadAt(kTkmTileBase + first->position, data.data(), DWORD(data.size())) &&
            SUCCEEDED(factory->CreateImageFromBuffer(data.data(), UINT(data.size()),
                                                     BufferDisposalFlagNone, &image))) {
            image->GetImageInfo(&info);
            image->Release();
        }
    }
    ReleaseFactory();
    if (info.Width == 0 || info.Height == 0)
        return 1;
    tileWidth = int32_t(info.Width);
    tileHeight = int32_t(info.Height);
    columns = width / tileWidth + 1;
    rows = height / tileHeight + 1;
    bitsPerPixel = 8;
    resolution = info.Xdpi > 0 ? int32_t(info.Xdpi) : 96;
    return 0;
}

int ImageMap::OpenQmp(const wchar_t* file) {
    ReleaseFactory();
    if (FAILED(CreateImagingFactory(&factory)))
        return 1;
    StartOpening(file, 0);
    FileHandle in(OpenRead(file));
    const int64_t size = in.ok() ? in.Size() : 0;
    uint8_t word[4];
    uint8_t block[44];
    tiles.clear();
    int64_t blockAt = 0;
    if (in.ok() && in.ReadAt(9, word, 4))
        blockAt = int64_t(Le32(word)) + 7;
    if (blockAt > 0 && in.ReadAt(blockAt, block, sizeof(block))) {
        width = Le32(block + 8);
        height = Le32(block + 12);
        tileWidth = Le32(block + 24);
        tileHeight = Le32(block + 28);
        // Levels: 8 bytes, a 32-byte level record (number, tile count), 100 bytes, then a
        // 36-byte record per tile. Only level 1 is kept.
        int64_t at = blockAt + 1024;
        uint8_t level[32];
        while (tileWidth > 0 && tileHeight > 0 && width > 0 && height > 0 &&
               in.ReadAt(at + 8, level, sizeof(level))) {
            const int32_t number = Le32(level + 8);
            const int32_t count = Le32(level + 12);
            at += 8 + 32 + 100;
            if (count < 0 || at + int64_t(count) * 36 > size)
                break;
            if (number != 1) {
                at += int64_t(count) * 36;
                continue;
            }
            columns = width / tileWidth;
            rows = height / tileHeight;
            if (columns <= 0 || rows <= 0)
                break;
            tiles.assign(size_t(columns) * rows, TkmTileEntry{kTkmNoTile, 0, 0, 0, 0});
            for (int32_t i = 0; i < count && i < columns * rows; ++i) {
                uint8_t r[36];
                if (!in.ReadAt(at + int64_t(i) * 36, r, sizeof(r)))
                    break;
                TkmTileEntry& e = tiles[size_t(rows - 1 - i / columns) * columns + i % columns];
                e.position = Le32(r + 12) - 67;
                e.length = Le32(r + 16) + 1;
                if (e.position < 0 || e.length <= 0 || kTkmTileBase + e.position + e.length > size)
                    e = TkmTileEntry{kTkmNoTile, 0, 0, 0, 0};
            }
            break;
        }
    }
    tileCount = int32_t(tiles.size());
    resolution = 96;
    bitsPerPixel = 8;
    ReleaseFactory();
    return 0;
}

void ImageMap::Render(HDC, const wchar_t* picturePath, PictureRect* rect, volatile LONG* abort) {
    std::lock_guard<std::mutex> guard(renderLock_);
    FileHandle in(OpenRead(picturePath));
    if (!in.ok() || tileWidth <= 0 || tileHeight <= 0 || columns <= 0 || rows <= 0)
        return;
    const int64_t size = in.Size();
    PictureRect r = *rect;
    r.right = std::min(r.right, width);
    r.top = std::min(r.top, height);
    r.left = std::max(r.left, 0);
    r.bottom = std::max(r.bottom, 0);
    if (bitsPerPixel > 8 || r.left >= r.right || r.bottom >= r.top)
        return;
    const int32_t firstRow = r.bottom / tileHeight;
    const int32_t lastRow = std::min((r.top - 1) / tileHeight, rows - 1);
    const int32_t firstColumn = r.left / tileWidth;
    const int32_t lastColumn = std::min((r.right - 1) / tileWidth, columns - 1);
    r.bottom = firstRow * tileHeight;
    r.top = std::min((lastRow + 1) * tileHeight, height);
    r.left = firstColumn * tileWidth;
    r.right = std::min((lastColumn + 1) * tileWidth, width);
    void* bits = nullptr;
    picture = CreateDibSection(r.right - r.left, r.top - r.bottom, 24, &bits);
    if (!picture)
        return;
    pictureBits = bits;
    cached = r;
    *rect = r;
    const int dibWidth = r.right - r.left, dibHeight = r.top - r.bottom;
    const int stride = DibStride(dibWidth, 24);
    std::vector<uint8_t> data;
    std::vector<uint8_t> line;
    try {
        for (int32_t row = firstRow; row <= lastRow && !(abort && *abort); ++row) {
            for (int32_t col = firstColumn; col <= lastColumn && !(abort && *abort); ++col) {
                const size_t index = size_t(row) * columns + col;
                if (index >= tiles.size())
                    continue;
                const TkmTileEntry& e = tiles[index];
                // A missing or empty tile stays blank; so does one that lies past the file.
                if (e.position == kTkmNoTile || e.length <= 0 ||
                    kTkmTileBase + e.position + e.length > size)
                    continue;
                data.resize(size_t(e.length));
                if (!in.ReadAt(kTkmTileBase + e.position, data.data(), DWORD(e.length)))
                    continue;
                JpegDecoder decoder;
                decoder.UseMemorySource(data.data(), data.size());
                decoder.ReadHeader();
                decoder.Start();
                // The tile's cell in the picture; its image holds the cell from the top.
                const int cellWidth = std::min(tileWidth, width - col * tileWidth);
                const int cellHeight = std::min(tileHeight, height - row * tileHeight);
                const int copyWidth = std::min(cellWidth, decoder.width());
                const int copyRows = std::min(cellHeight, decoder.height());
                const int topRow = r.top - (row * tileHeight + cellHeight); // from the DIB's top
                const int x = col * tileWidth - r.left;
                line.resize(size_t(decoder.width()) * 3);
                for (int i = 0; i < copyRows; ++i) {
                    decoder.ReadRow(line.data());
                    uint8_t* dest = static_cast<uint8_t*>(bits) +
                                    size_t(dibHeight - 1 - (topRow + i)) * stride + size_t(x) * 3;
                    memcpy(dest, line.data(), size_t(copyWidth) * 3);
                }
                decoder.Finish();
            }
        }
    } catch (const JpegError&) {
        // A damaged tile ends the render; what was decoded so far stays.
    }
    GdiFlush();
}

bool ImageMap::WriteTiles(TkmFileWriter& out, int32_t pictureWidth, int32_t pictureHeight,
                          int32_t tileW, int32_t tileH) {
    const TkmTileGrid grid{pictureWidth, pictureHeight, tileW, tileH};
    const int32_t count = grid.columns() * grid.rows();
    out.Words({kTkmTagIndex, count});
    int64_t entryAt = out.Tell();
    for (int32_t i = 0; i < 3 * count && out.ok(); ++i)
        out.Word(0);
    UniqueDc memoryDc(CreateCompatibleDC(nullptr));
    int32_t done = 0;
    for (int32_t row = 0; row < grid.rows() && out.ok(); ++row) {
        for (int32_t col = 0; col < grid.columns() && out.ok(); ++col) {
            ++done;
            if (progress)
                progress(int(int64_t(done) * 100 / count));
            const int32_t w = grid.TileWidth(col), h = grid.TileHeight(row);
            const int32_t word1 = col | (w << 16), word2 = row | (h << 16);
            const int32_t rawSize = h * (((w * 24 + 7) / 8 + 3) & ~3);
            out.Words({kTkmTagTile, word1, word2});
            const int64_t lengthAt = out.Tell();
            out.Word(rawSize);
            PictureRect tile{col * tileW, row * tileH + h, col * tileW + w, row * tileH};
            const bool inside = picture && tile.left >= cached.left && tile.right <= cached.right &&
                                tile.bottom >= cached.bottom && tile.top <= cached.top;
            if (!inside) {
                FreePicture();
                PictureRect request = tile;
                Render(memoryDc.get(), path, &request, nullptr);
            }
            int32_t length = -1;
            if (picture) {
                length = CompressTile(out, static_cast<uint8_t*>(pictureBits),
                                      cached.right - cached.left, cached.top - cached.bottom,
                                      tile.left - cached.left, cached.top - tile.top, w, h);
            }
            if (length < 0)
                return false; // the tile could not be rendered or written
            out.Seek(lengthAt);
            out.Word(length);
            out.Seek(entryAt);
            out.Words({word1, word2, length});
            entryAt += 12;
            out.SeekEnd();
        }
    }
    return out.ok();
}

bool ImageMap::SaveAsTkm(const wchar_t* target, int pictureWidth, int pictureHeight, int tileW,
                         int tileH, Projection* tileProjection, const wchar_t* displayName) {
    if (!target || tileW <= 0 || tileH <= 0 || tileW > 0x7FFF || tileH > 0x7FFF ||
        pictureWidth < 0 || pictureHeight < 0)
        return false;
    FILE* file = _wfopen(target, L"w+b");
    if (!file) {
        ShowTkmError(IDS_TKM_OPEN_ERROR, target);
        return false;
    }
    TkmFileWriter out(file);
    WriteTkmHeader(out, pictureWidth, pictureHeight, tileW, tileH, displayName);
    if (out.ok() && tileProjection && !tileProjection->WriteParams(file))
        out.Fail();
    bool ok = out.ok() && WriteTiles(out, pictureWidth, pictureHeight, tileW, tileH);
    if (fclose(file) != 0)
        ok = false;
    if (!ok) {
        DeleteFileW(target);
        ShowTkmError(IDS_TKM_WRITE_ERROR, target);
    }
    return ok;
}
