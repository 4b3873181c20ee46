// TKM files: the layout the writer produces, reading it back with its picture, the visible
// flag, damaged files, and the TKP container.
#include <gtest/gtest.h>

#include <cstring>

#include "geo/projection.h"
#include "maps/dib_section.h"
#include "maps/image_map.h"
#include "maps/tkm_file.h"
#include "tests/maps/map_fixture.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/ui_recorder.h"

using namespace fixtures;

namespace {

// 100-pixel blocks of colour, so that every tile holds a few edges.
COLORREF Blocks(int x, int yFromTop) {
    static const COLORREF kColours[] = {RGB(200, 40, 40), RGB(40, 200, 40), RGB(40, 40, 200),
                                        RGB(220, 220, 40)};
    return kColours[(x / 100 + yFromTop / 100) % 4];
}

// A picture map whose render paints the block pattern: the source of the files written here.
class PaintedMap : public ImageMap {
public:
    void Render(HDC, const wchar_t*, PictureRect* rect, volatile LONG*) override {
        ++renders;
        if (fail)
            return;
        PictureRect r = *rect;
        void* bits = nullptr;
        picture = CreateDibSection(r.right - r.left, r.top - r.bottom, 24, &bits);
        pictureBits = bits;
        const int w = r.right - r.left, h = r.top - r.bottom, stride = DibStride(w, 24);
        for (int y = 0; y < h; ++y) {
            uint8_t* row = static_cast<uint8_t*>(bits) + size_t(h - 1 - y) * stride;
            for (int x = 0; x < w; ++x) {
                COLORREF c = Blocks(r.left + x, height - (r.top - y));
                row[3 * x] = GetBValue(c);
                row[3 * x + 1] = GetGValue(c);
                row[3 * x + 2] = GetRValue(c);
            }
        }
        cached = r;
    }
    int renders = 0;
    bool fail = false;
};

int32_t WordAt(const std::string& bytes, size_t offset) {
    int32_t v;
    memcpy(&v, bytes.data() + offset, 4);
    return v;
}

size_t FindWord(const std::string& bytes, int32_t word, size_t from) {
    for (size_t i = from; i + 4 <= bytes.size(); i += 4) {
        if (WordAt(bytes, i) == word)
            return i;
    }
    return std::string::npos;
}

std::wstring WriteBlocksTkm(const ScratchDir& dir, const wchar_t* name = L"Abc") {
    PaintedMap source;
    source.width = 1000;
    source.height = 700;
    CalibrateLinear(source);
    std::wstring path = dir / L"blocks.tkm";
    std::vector<int> progress;
    source.progress = [&progress](int percent) { progress.push_back(percent); };
    EXPECT_TRUE(source.SaveAsTkm(path.c_str(), 1000, 700, 256, 256, source.projection, name));
    EXPECT_EQ(progress.size(), 12u);
    EXPECT_EQ(progress.back(), 100);
    return path;
}

} // namespace

TEST(TkmLayout, NameLengthAndTileGrid) {
    struct NameCase {
        size_t chars;
        int32_t length;
    } names[] = {{1, 4}, {3, 8}, {4, 12}, {5, 12}, {6, 16}};
    for (const NameCase& c : names)
        EXPECT_EQ(TkmNameLength(c.chars), c.length) << c.chars;
    TkmTileGrid grid{1000, 700, 256, 256};
    EXPECT_EQ(grid.columns(), 4);
    EXPECT_EQ(grid.rows(), 3);
    EXPECT_EQ(grid.TileWidth(3), 232);
    EXPECT_EQ(grid.TileHeight(2), 188);
    EXPECT_EQ(grid.TileWidth(0), 256);
}

TEST(TkmLayout, WrittenFileRecordsAtTheirOffsets) {
    ScratchDir dir;
    std::string bytes = ScratchDir::ReadFile(WriteBlocksTkm(dir));
    const int32_t header[] = {-2, 1, -3, 2, -4, 1, -5, 1000, 700, -6, 256, 256, -7, 8};
    for (size_t i = 0; i < std::size(header); ++i)
        EXPECT_EQ(WordAt(bytes, 4 * i), header[i]) << "word " << i;
    EXPECT_EQ(memcmp(bytes.data() + 56, "A\0b\0c\0\0\0", 8), 0);
    // The projection's block follows the name: a UTM projection writes its reference points.
    EXPECT_EQ(WordAt(bytes, 64), kTkmTagRefPoint);
    size_t index = FindWord(bytes, kTkmTagIndex, 64);
    ASSERT_NE(index, std::string::npos);
    EXPECT_EQ(WordAt(bytes, index + 4), 12);
    // Entry 3: column 3, 232 wide; entry 8: row 2, 188 high.
    EXPECT_EQ(WordAt(bytes, index + 8 + 3 * 12), 3 | (232 << 16));
    EXPECT_EQ(WordAt(bytes, index + 8 + 8 * 12 + 4), 2 | (188 << 16));
    // The first tile record follows the index, its image 16 bytes after the record.
    size_t first = index + 8 + 12 * 12;
    EXPECT_EQ(WordAt(bytes, first), kTkmTagTile);
    EXPECT_EQ(WordAt(bytes, first + 12), WordAt(bytes, index + 8 + 8));
    EXPECT_EQ(static_cast<uint8_t>(bytes[first + 16]), 0xFF); // a JPEG image
    EXPECT_EQ(static_cast<uint8_t>(bytes[first + 17]), 0xD8);
}

TEST(TkmReadBack, PictureAndCalibrationSurviveTheFile) {
    ScratchDir dir;
    std::wstring path = WriteBlocksTkm(dir);
    ImageMap map;
    ASSERT_EQ(map.Open(path.c_str()), 0);
    EXPECT_EQ(map.width, 1000);
    EXPECT_EQ(map.height, 700);
    EXPECT_EQ(map.columns, 4);
    EXPECT_EQ(map.rows, 3);
    EXPECT_EQ(map.tileCount, 12);
    EXPECT_EQ(std::wstring(map.name), L"Abc");
    EXPECT_EQ(map.projection->GetRefPointPixel(1).x, 1000);

    // The top row of tiles is 188 high: a rectangle there is widened to the picture's top.
    PictureRect r{300, 690, 400, 600};
    map.Render(nullptr, path.c_str(), &r, nullptr);
    EXPECT_EQ(r.top, 700);
    EXPECT_EQ(r.bottom, 512);
    EXPECT_EQ(r.left, 256);
    DibInfo dib = ReadDib(map.picture);
    ASSERT_EQ(dib.height, 188);
    for (POINT p : {POINT{50, 50}, POINT{150, 150}, POINT{30, 120}, POINT{250, 10}})
        EXPECT_TRUE(Near(DibPixel(dib, p.x, p.y), Blocks(256 + p.x, p.y), 24)) << p.x << "," << p.y;

    // Drawn into a view through the whole path: the tiles below the top row line up too.
    Canvas canvas(300, 200);
    TrackingView view;
    CentreView(view, map, canvas, 300, 200);
    map.AddUser(nullptr, &view);
    map.Draw(&view);
    for (POINT p : {POINT{60, 60}, POINT{170, 120}, POINT{240, 140}}) {
        // Screen (150, 100) shows picture pixel (500, 350), counted from the top.
        int px = 500 + (p.x - 150), py = 350 + (p.y - 100);
        EXPECT_TRUE(Near(canvas.At(p.x, p.y), Blocks(px, py), 24)) << p.x << "," << p.y;
    }
}

TEST(TkmReadBack, VisibleFlagRewritesOneByte) {
    ScratchDir dir;
    std::wstring path = WriteBlocksTkm(dir);
    std::string before = ScratchDir::ReadFile(path);
    ImageMap map;
    ASSERT_EQ(map.Open(path.c_str()), 0);
    map.SetVisible(0, true);
    ASSERT_TRUE(map.WriteVisibleFlag());
    std::string after = ScratchDir::ReadFile(path);
    ASSERT_EQ(after.size(), before.size());
    before[4] = 0;
    EXPECT_EQ(after, before);
}

TEST(TkmReadBack, MissingReferencePointGetsOneAtWidthZero) {
    ScratchDir dir;
    std::string bytes;
    for (int32_t w : {-2, 1, -3, 2, -5, 640, 480, -6, 256, 256, -258, 0, 480, 1000, 2000, -14, 0})
        bytes.append(reinterpret_cast<const char*>(&w), 4);
    ImageMap map;
    ASSERT_EQ(map.ReadHeader(dir.WriteFile(L"one.tkm", bytes).c_str()), 0);
    EXPECT_EQ(map.projection->RefPointCount(), 2);
    EXPECT_EQ(map.projection->GetRefPointPixel(1).x, 640);
    EXPECT_EQ(map.projection->GetRefPointPixel(1).y, 0);
}

TEST(TkmDamage, BadFilesAreRefusedAndNoneCrashes) {
    ScratchDir dir;
    std::string good = ScratchDir::ReadFile(WriteBlocksTkm(dir));
    auto with = [&good](size_t offset, int32_t word) {
        std::string s = good;
        memcpy(&s[offset], &word, 4);
        return s;
    };
    struct Case {
        const char* name;
        std::string bytes;
    } refused[] = {
        {"empty", ""},
        {"no -2 first", with(0, -3)},
        {"version 3", with(12, 3)},
        {"name longer than the file", with(52, 0x7FFFFFF0)},
        {"negative name length", with(52, -8)},
        {"tile size 0", with(40, 0)},
    };
    for (const Case& c : refused) {
        TkmHeader h;
        EXPECT_EQ(ReadTkmHeader(dir.WriteFile(L"bad.tkm", c.bytes).c_str(), &h), 1) << c.name;
    }
    // Every truncation and a flipped byte in every header word: a result, never a crash.
    size_t index = FindWord(good, kTkmTagIndex, 64);
    for (size_t cut = 0; cut < index + 200; cut += 4) {
        TkmHeader h;
        ReadTkmHeader(dir.WriteFile(L"cut.tkm", good.substr(0, cut)).c_str(), &h);
    }
    for (size_t at = 0; at < index + 8 + 12 * 12; ++at) {
        std::string s = good;
        s[at] = char(s[at] ^ 0x80);
        std::wstring path = dir.WriteFile(L"flip.tkm", s);
        ImageMap map;
        if (map.ReadHeader(path.c_str()) == 0 && map.width <= 2000 && map.height <= 2000) {
            PictureRect r{0, map.height, map.width, 0};
            map.Render(nullptr, path.c_str(), &r, nullptr);
        }
    }
}

TEST(TkmDamage, EmptyOrTruncatedTilesStayBlank) {
    ScratchDir dir;
    std::wstring path = WriteBlocksTkm(dir);
    std::string bytes = ScratchDir::ReadFile(path);
    ImageMap map;
    ASSERT_EQ(map.Open(path.c_str()), 0);
    // Tile 0 with length 0, and the file cut inside the last tile.
    map.tiles[0].length = 0;
    dir.WriteFile(L"blocks.tkm", bytes.substr(0, bytes.size() - 50));
    PictureRect r{0, 700, 1000, 0};
    map.Render(nullptr, path.c_str(), &r, nullptr);
    DibInfo dib = ReadDib(map.picture);
    ASSERT_EQ(dib.width, 1000);
    EXPECT_EQ(DibPixel(dib, 10, 690), RGB(0, 0, 0));                  // tile 0: bottom-left, blank
    EXPECT_EQ(DibPixel(dib, 990, 10), RGB(0, 0, 0));                  // the last tile, cut short
    EXPECT_TRUE(Near(DibPixel(dib, 350, 650), Blocks(350, 650), 24)); // tile 1 drawn
}

TEST(TkmSave, FailuresAreReportedAndLeaveNoFile) {
    ScratchDir dir;
    UiRecorder ui;
    PaintedMap source;
    source.width = 300;
    source.height = 200;
    CalibrateLinear(source);
    std::wstring missing = dir / L"no such folder\\x.tkm";
    EXPECT_FALSE(source.SaveAsTkm(missing.c_str(), 300, 200, 256, 256, source.projection, L"x"));
    ASSERT_EQ(ui.count(), 1u);
    EXPECT_NE(ui.last().text.find(missing), std::wstring::npos);
    EXPECT_EQ(ui.last().caption, L"Writing TKM...");

    source.fail = true; // the picture cannot be rendered: no tile can be written
    std::wstring target = dir / L"y.tkm";
    EXPECT_FALSE(source.SaveAsTkm(target.c_str(), 300, 200, 256, 256, source.projection, L"y"));
    EXPECT_EQ(ui.count(), 2u);
    EXPECT_EQ(GetFileAttributesW(target.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(TkpContainer, TileSizeFromTheFirstTileAndTilesDraw) {
    // Header of 66 bytes (width at 18, height at 22), 16-byte index entries, then JPEG tiles.
    ScratchDir dir;
    std::string tiles[2] = {EncodeJpeg(64, 32, [](int, int) { return RGB(200, 40, 40); }),
                            EncodeJpeg(64, 32, [](int, int) { return RGB(40, 40, 200); })};
    std::string file(66, '\0');
    file[18] = 100;
    file[22] = 30;
    int32_t position = 2 * 16;
    for (const std::string& t : tiles) {
        int32_t entry[4] = {position, int32_t(t.size()), 0, 0};
        file.append(reinterpret_cast<const char*>(entry), 16);
        position += int32_t(t.size());
    }
    file += tiles[0] + tiles[1];
    ImageMap map;
    ASSERT_EQ(map.OpenTkp(dir.WriteFile(L"c.tkp", file).c_str()), 0);
    EXPECT_EQ(map.tileCount, 2);
    EXPECT_EQ(map.tileWidth, 64);
    EXPECT_EQ(map.tileHeight, 32);
    EXPECT_EQ(map.columns, 100 / 64 + 1);
    EXPECT_EQ(map.bitsPerPixel, 8);
    PictureRect r{0, 30, 100, 0};
    map.Render(nullptr, map.path, &r, nullptr);
    DibInfo dib = ReadDib(map.picture);
    ASSERT_EQ(dib.width, 100);
    EXPECT_TRUE(Near(DibPixel(dib, 10, 10), RGB(200, 40, 40)));
    EXPECT_TRUE(Near(DibPixel(dib, 90, 10), RGB(40, 40, 200)));
}

TEST(QmpContainer, LevelOneTilesFromTheLastRowUp) {
    // Word at 9 + 7: a 44-byte block (size at 8 and 12, tile size at 24 and 28); 1024 bytes on,
    // levels of {8 bytes, 32-byte record (number at 8, count at 12), 100 bytes, 36 per tile}.
    ScratchDir dir;
    std::string red = EncodeJpeg(32, 16, [](int, int) { return RGB(200, 40, 40); });
    std::string blue = EncodeJpeg(32, 16, [](int, int) { return RGB(40, 40, 200); });
    std::string file(2000, '\0');
    auto put = [&file](size_t at, int32_t v) { memcpy(&file[at], &v, 4); };
    const size_t block = 20 + 7;
    put(9, 20);
    put(block + 8, 32);
    put(block + 12, 32);
    put(block + 24, 32);
    put(block + 28, 16);
    size_t level = block + 1024;
    put(level + 8 + 8, 2); // level 2, one tile record, read past
    put(level + 8 + 12, 1);
    level += 8 + 32 + 100 + 36;
    put(level + 8 + 8, 1); // level 1: two tiles, first record is the top row
    put(level + 8 + 12, 2);
    const size_t records = level + 8 + 32 + 100;
    const int32_t redAt = int32_t(file.size()), blueAt = redAt + int32_t(red.size());
    put(records + 12, redAt - 66 + 67);
    put(records + 16, int32_t(red.size()) - 1);
    put(records + 36 + 12, blueAt - 66 + 67);
    put(records + 36 + 16, int32_t(blue.size()) - 1);
    file += red + blue;
    ImageMap map;
    ASSERT_EQ(map.OpenQmp(dir.WriteFile(L"c.qmp", file).c_str()), 0);
    ASSERT_EQ(map.tileCount, 2);
    EXPECT_EQ(map.columns, 1);
    EXPECT_EQ(map.rows, 2);
    PictureRect r{0, 32, 32, 0};
    map.Render(nullptr, map.path, &r, nullptr);
    DibInfo dib = ReadDib(map.picture);
    ASSERT_EQ(dib.height, 32);
    EXPECT_TRUE(Near(DibPixel(dib, 10, 4), RGB(200, 40, 40))); // first record: the top row
    EXPECT_TRUE(Near(DibPixel(dib, 10, 28), RGB(40, 40, 200)));
}

TEST(TkmReadBack, RenameKeepsTheKindAndFollowsTheFile) {
    ScratchDir dir;
    std::wstring path = WriteBlocksTkm(dir);
    ImageMap map;
    ASSERT_EQ(map.Open(path.c_str()), 0);
    map.SetName(L"Renamed");
    EXPECT_EQ(std::wstring(map.name), L"Renamed");
    EXPECT_EQ(std::wstring(map.path), dir / L"Renamed.tkm");
    EXPECT_NE(GetFileAttributesW(map.path), INVALID_FILE_ATTRIBUTES);
}
