// The program's tiled map file (TKM): a stream of little-endian int32 words in which every
// record starts with a negative tag. Layout of a written file (version 2):
//
//   offset  tag   values
//   0       -2    visible flag (the byte at offset 4 is rewritten alone)
//   8       -3    layout version 2
//   16      -4    1
//   24      -5    picture width, height
//   36      -6    tile width, tile height
//   48      -7    byte length L, then the UTF-16 name with its zero, padded to L
//   ...     -259  projection kind, byte count P, P bytes; -260 1; -261 0; -258 x y lon lat ...
//   ...     -14   tile count N, N entries {col | width << 16, row | height << 16, length}
//   ...     -12   per tile: the entry's three words, then `length` bytes of JPEG
//
// Tiles run row by row from the bottom of the picture (row 0), left to right; a tile's image
// starts 16 bytes after its record, so the index alone locates every image.
#pragma once
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

enum : int32_t {
    kTkmTagVisible = -2,
    kTkmTagVersion = -3,
    kTkmTagFlag = -4,
    kTkmTagSize = -5,
    kTkmTagTileSize = -6,
    kTkmTagName = -7,
    kTkmTagSkipBlock = -9,
    kTkmTagPalette = -11,
    kTkmTagTile = -12,
    kTkmTagWord13 = -13,
    kTkmTagIndex = -14,
    kTkmTagWord15 = -15,
    kTkmTagExtra = -16,
    kTkmTagRefPoint = -258,
    kTkmTagProjection = -259,
    kTkmTagWord260 = -260,
    kTkmTagWord261 = -261,
    kTkmTagWord262 = -262,
};

constexpr int32_t kTkmVersion = 2;
constexpr int64_t kTkmTileBase = 66; // tile positions count from this file offset
constexpr int32_t kTkmNoTile = -1;

// One entry of the tile index as the map keeps it (16 bytes).
struct TkmTileEntry {
    int32_t position; // relative to kTkmTileBase; kTkmNoTile: blank
    int32_t length;   // bytes of the tile's image
    int32_t word;
    int16_t width;
    int16_t height;
};
static_assert(sizeof(TkmTileEntry) == 16, "tile index entries are 16 bytes");

// Bytes of the name record: the UTF-16 text, its terminator and padding to 4 bytes.
int32_t TkmNameLength(size_t characters);

// Tiles of a picture: whole tiles, the last column and row keep the remainder.
struct TkmTileGrid {
    int32_t width, height, tileWidth, tileHeight;
    int32_t columns() const;
    int32_t rows() const;
    int32_t TileWidth(int32_t column) const;
    int32_t TileHeight(int32_t row) const;
};

struct TkmRefPoint {
    int32_t x, y, longitude, latitude;
};

// What the reader takes from a TKM file's header records.
struct TkmHeader {
    uint8_t visible = 1;
    int32_t width = 0, height = 0;
    int32_t tileWidth = 0, tileHeight = 0;
    int32_t columns = 0, rows = 0;
    bool hasName = false;
    std::wstring name;
    int32_t bitsPerPixel = 0;
    std::vector<RGBQUAD> palette;
    int64_t tileDataStart = 0;
    std::vector<TkmTileEntry> tiles;
    bool hasExtra = false;
    std::vector<uint8_t> extra;
    std::vector<TkmRefPoint> refPoints;
    bool hasProjection = false;
    int32_t projectionKind = 0;
    std::vector<uint8_t> projectionParams;
    int32_t word13 = 0, word15 = 0, word262 = 0;
    uint16_t pair261[2] = {0, 0};
};

// Reads the header records; 0 on success, 1 when the file cannot be read, does not begin with
// tag -2, has another layout version, or a record reaches past the file or past its limits.
int ReadTkmHeader(const wchar_t* path, TkmHeader* header);

// Little-endian words to a stdio file; remembers the first failure.
class TkmFileWriter {
public:
    explicit TkmFileWriter(FILE* file) : file_(file) {}
    void Word(int32_t value);
    void Words(std::initializer_list<int32_t> values);
    void Bytes(const void* data, size_t count);
    int64_t Tell();
    void Seek(int64_t offset);
    void SeekEnd();
    bool ok() const { return ok_; }
    FILE* file() const { return file_; }
    void Fail() { ok_ = false; }

private:
    FILE* file_;
    bool ok_ = true;
};

// The records -2 to -7; the name record only for a non-empty name.
void WriteTkmHeader(TkmFileWriter& out, int32_t width, int32_t height, int32_t tileWidth,
                    int32_t tileHeight, const wchar_t* name);
