// Drawing of raster maps into a view: pictures, cache, border, outline, transparency and BMP
// pictures, checked on the pixels of a DIB section.
#include <gtest/gtest.h>

#include "maps/dib_section.h"
#include "maps/tiled_map.h"
#include "tests/maps/map_fixture.h"
#include "tests/support/scratch_dir.h"

using namespace fixtures;

namespace {

class CountingMap : public TiledMap {
public:
    void Render(HDC dc, const wchar_t* p, PictureRect* rect, volatile LONG* abort) override {
        ++renders;
        TiledMap::Render(dc, p, rect, abort);
    }
    int renders = 0;
};

COLORREF TopRedBottomBlue(int, int y) {
    return y < 50 ? RGB(220, 30, 30) : RGB(30, 30, 220);
}

// A JPEG map of 200 x 100 in a 300 x 200 view: the picture covers (50, 50)-(250, 150).
struct JpegScene {
    ScratchDir dir;
    CountingMap map;
    Canvas canvas{300, 200};
    TrackingView view;
    explicit JpegScene(bool decodeWhole = true) {
        std::wstring path = dir.WriteFile(L"map.jpg", EncodeJpeg(200, 100, TopRedBottomBlue));
        map.SetPath(path.c_str());
        map.wholeFile = 0;
        EXPECT_TRUE(map.OpenPicture(path.c_str(), true));
        map.ClosePicture();
        map.opened = 1;
        map.SetVisible(1, true);
        CalibrateLinear(map);
        CentreView(view, map, canvas, 300, 200);
        if (decodeWhole)
            map.AddUser(nullptr, &view);
        else
            map.ManagerItem::AddUser(nullptr, &view); // a user, but no whole picture
    }
};

} // namespace

TEST(TiledMapDraw, PictureUprightInsideBorderFill) {
    for (bool whole : {true, false}) {
        SCOPED_TRACE(whole ? "whole picture" : "rendered rectangle");
        JpegScene scene(whole);
        scene.map.Draw(&scene.view);
        EXPECT_EQ(scene.map.renders, whole ? 0 : 1);
        EXPECT_TRUE(Near(scene.canvas.At(150, 75), RGB(220, 30, 30)));
        EXPECT_TRUE(Near(scene.canvas.At(150, 125), RGB(30, 30, 220)));
        for (POINT p : {POINT{20, 100}, POINT{280, 100}, POINT{150, 10}, POINT{150, 190}})
            EXPECT_EQ(scene.canvas.At(p.x, p.y), kMapBorderColour) << p.x << "," << p.y;
    }
}

TEST(TiledMapDraw, PanInsideCacheShiftsSourceWithoutRendering) {
    JpegScene scene(false);
    scene.map.Draw(&scene.view); // the whole picture is in view: all of it is rendered
    ASSERT_EQ(scene.map.renders, 1);
    const PictureRect first = scene.map.cached;
    EXPECT_EQ(first.right - first.left, 200);
    // Zoom in and move: the visible part stays inside what was rendered.
    scene.view.position.scale = scene.map.nativeScale / 2;
    Pan(scene.view, 10, -10);
    scene.canvas.Fill(RGB(0, 0, 0));
    scene.map.Draw(&scene.view);
    EXPECT_EQ(scene.map.renders, 1);
    EXPECT_EQ(scene.map.cached.left, first.left);
    EXPECT_GT(scene.map.sourceOffset.x, 0);
    // The view centre shows map pixel (110, 40): the blue lower half, near the red edge.
    EXPECT_TRUE(Near(scene.canvas.At(150, 100), RGB(30, 30, 220)));
    EXPECT_TRUE(Near(scene.canvas.At(150, 100 - 2 * 15), RGB(220, 30, 30)));
}

TEST(TiledMapDraw, RenderedRectangleInsideThePicture) {
    JpegScene scene(false);
    PictureRect r{60, 80, 150, 20}; // columns 60..149, picture rows 20..79 from the top
    scene.map.Render(nullptr, scene.map.path, &r, nullptr);
    DibInfo dib = ReadDib(scene.map.picture);
    ASSERT_EQ(dib.width, 90);
    ASSERT_EQ(dib.height, 60);
    EXPECT_TRUE(Near(DibPixel(dib, 5, 5), RGB(220, 30, 30)));
    EXPECT_TRUE(Near(DibPixel(dib, 85, 55), RGB(30, 30, 220)));
    EXPECT_EQ(scene.map.cached.left, 60);
    EXPECT_EQ(scene.map.cached.top, 80);
}

TEST(TiledMapDraw, RenderedColumnsStartAtTheRectangle) {
    ScratchDir dir;
    std::wstring path = dir.WriteFile(L"lr.jpg", EncodeJpeg(200, 100, [](int x, int) {
                                          return x < 100 ? RGB(220, 30, 30) : RGB(30, 30, 220);
                                      }));
    TiledMap map;
    map.SetPath(path.c_str());
    ASSERT_TRUE(map.OpenPicture(path.c_str(), true));
    map.ClosePicture();
    PictureRect r{70, 60, 160, 40}; // not on a block boundary: the decoder's window is wider
    map.Render(nullptr, path.c_str(), &r, nullptr);
    DibInfo dib = ReadDib(map.picture);
    ASSERT_EQ(dib.width, 90);
    EXPECT_TRUE(Near(DibPixel(dib, 2, 10), RGB(220, 30, 30)));
    EXPECT_TRUE(Near(DibPixel(dib, 26, 10), RGB(220, 30, 30))); // picture column 96
    EXPECT_TRUE(Near(DibPixel(dib, 34, 10), RGB(30, 30, 220))); // picture column 104
}

TEST(TiledMapDraw, PngMapPictureDecodedWholeForItsFirstUser) {
    ScratchDir dir;
    PngSpec spec;
    spec.width = 200;
    spec.height = 100;
    spec.colourType = PNG_COLOR_TYPE_PALETTE;
    spec.palette = {{220, 30, 30}, {30, 30, 220}};
    spec.row = [](int y) { return std::vector<uint8_t>(200, uint8_t(y >= 50)); };
    std::wstring path = dir.WriteFile(L"map.png", EncodePng(spec));
    CountingMap map;
    map.SetPath(path.c_str());
    map.wholeFile = 0;
    ASSERT_TRUE(map.OpenPicture(path.c_str(), true));
    map.ClosePicture();
    map.opened = 1;
    map.SetVisible(1, true);
    CalibrateLinear(map);
    Canvas canvas(300, 200);
    TrackingView view;
    CentreView(view, map, canvas, 300, 200);
    map.AddUser(nullptr, &view);
    map.Draw(&view);
    EXPECT_EQ(map.renders, 0);
    EXPECT_EQ(canvas.At(150, 75), RGB(220, 30, 30));
    EXPECT_EQ(canvas.At(150, 125), RGB(30, 30, 220));
    EXPECT_TRUE(map.RemoveUser(&view));
    EXPECT_EQ(map.picture, nullptr);
}

TEST(TiledMapDraw, OutsideViewOrNotShownDrawsOutlineOnly) {
    JpegScene scene;
    Pan(scene.view, 1000, 0); // the picture lies far to the left of the view
    scene.map.Draw(&scene.view);
    EXPECT_EQ(scene.canvas.At(150, 100), RGB(0, 0, 0));
    Pan(scene.view, -1000, 0);
    scene.map.SetVisible(2, false); // a visible byte of 2 draws the outline but not the picture
    scene.map.Draw(&scene.view);
    EXPECT_EQ(scene.canvas.At(150, 75), RGB(0, 0, 0));
    RECT s = scene.map.PictureRectToScreen(&scene.view, PictureRect{0, 100, 200, 0});
    EXPECT_NE(scene.canvas.At(150, s.top), RGB(0, 0, 0));
}

TEST(TiledMapDraw, OutlineColourTellsTheState) {
    struct Case {
        const char* state;
        int opened, visible;
        bool current;
        COLORREF colour;
    } cases[] = {
        {"not opened", 0, 1, true, RGB(255, 0, 0)},
        {"hidden", 1, 0, true, RGB(255, 255, 0)},
        {"current map", 1, 1, true, RGB(0, 160, 0)},
        {"other map", 1, 1, false, RGB(7, 0, 0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.state);
        JpegScene scene;
        TiledMap other;
        other.width = scene.map.width;
        other.height = scene.map.height;
        CalibrateLinear(other);
        if (!c.current)
            scene.view.currentMap = &other; // the same place, so the frame stays put
        scene.map.opened = c.opened;
        scene.map.SetVisible(uint8_t(c.visible), false);
        scene.map.DrawOutline(&scene.view);
        RECT s = scene.map.PictureRectToScreen(&scene.view, PictureRect{0, 100, 200, 0});
        EXPECT_EQ(scene.canvas.At(150, s.top), c.colour);      // top edge of the frame
        EXPECT_EQ(scene.canvas.At(s.left + 2, 100), c.colour); // inner frame, 2 pixels in
        EXPECT_EQ(scene.canvas.At(150, 100), RGB(0, 0, 0));    // hollow
    }
}

namespace {

// An uncompressed BMP: file header, an info header of headerSize bytes, the colour table, rows.
std::string MakeBmp(int width, int height, int bits, const std::vector<COLORREF>& palette,
                    const std::function<int(int x, int y)>& index, uint32_t headerSize = 40,
                    uint32_t compression = 0, uint32_t coloursUsed = 0) {
    const int stride = BmpRowStride(width, bits);
    std::string out;
    auto le32 = [&out](uint32_t v) {
        for (int i = 0; i < 4; ++i)
            out += char((v >> (8 * i)) & 0xFF);
    };
    auto le16 = [&out](uint16_t v) {
        out += char(v & 0xFF);
        out += char(v >> 8);
    };
    const uint32_t offset = 14 + headerSize + uint32_t(palette.size()) * 4;
    out += "BM";
    le32(offset + uint32_t(stride) * height);
    le32(0);
    le32(offset);
    le32(headerSize);
    le32(uint32_t(width));
    le32(uint32_t(height));
    le16(1);
    le16(uint16_t(bits));
    le32(compression);
    le32(0);
    le32(2835);
    le32(2835);
    le32(coloursUsed ? coloursUsed : uint32_t(palette.size()));
    le32(0);
    out.append(headerSize - 40, '\0');
    for (COLORREF c : palette) {
        out += char(GetBValue(c));
        out += char(GetGValue(c));
        out += char(GetRValue(c));
        out += '\0';
    }
    for (int y = 0; y < height; ++y) { // bottom row first
        std::string row(stride, '\0');
        for (int x = 0; x < width; ++x) {
            int v = index(x, height - 1 - y);
            if (bits == 8)
                row[x] = char(v);
            else if (bits == 4)
                row[x / 2] = char(row[x / 2] | (x % 2 ? v : v << 4));
            else
                row[x / 8] = char(row[x / 8] | (v << (7 - x % 8)));
        }
        out += row;
    }
    return out;
}

struct BmpScene {
    ScratchDir dir;
    CountingMap map;
    Canvas canvas{300, 200};
    TrackingView view;
    explicit BmpScene(const std::string& bmp) {
        std::wstring path = dir.WriteFile(L"map.bmp", bmp);
        map.SetPath(path.c_str());
        map.width = 200;
        map.height = 100;
        map.wholeFile = 0; // read in parts, as a picture that has no whole bitmap
        map.opened = 1;
        map.SetVisible(1, true);
        CalibrateLinear(map);
        CentreView(view, map, canvas, 300, 200);
        map.ManagerItem::AddUser(nullptr, &view);
    }
};

const std::vector<COLORREF> kPalette = {RGB(248, 248, 248), RGB(200, 0, 0), RGB(0, 0, 200)};

int Stripes(int x, int y) {
    return x < 100 ? 0 : (y < 50 ? 1 : 2);
}

} // namespace

TEST(BmpPicture, RowStride) {
    struct Case {
        int width, bits, stride;
    } cases[] = {{1, 1, 4}, {32, 1, 4}, {33, 1, 8},    {5, 4, 4},  {9, 4, 8},
                 {4, 8, 4}, {5, 8, 8},  {200, 8, 200}, {1, 24, 4}, {3, 24, 12}};
    for (const Case& c : cases)
        EXPECT_EQ(BmpRowStride(c.width, c.bits), c.stride) << c.width << "x" << c.bits;
}

TEST(BmpPicture, PaletteLayoutsDrawUpright) {
    struct Case {
        const char* name;
        int bits;
        uint32_t headerSize;
    } cases[] = {{"8-bit", 8, 40},
                 {"4-bit", 4, 40},
                 {"8-bit, version 4 header", 8, 108},
                 {"8-bit, version 5 header", 8, 124}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BmpScene scene(MakeBmp(200, 100, c.bits, kPalette, Stripes, c.headerSize));
        scene.map.Draw(&scene.view);
        ASSERT_EQ(scene.map.renders, 1);
        EXPECT_EQ(scene.canvas.At(200, 75), RGB(200, 0, 0));
        EXPECT_EQ(scene.canvas.At(200, 125), RGB(0, 0, 200));
        EXPECT_EQ(scene.canvas.At(100, 100), RGB(248, 248, 248));
    }
}

TEST(BmpPicture, UnreadableLayoutsDrawNoPicture) {
    std::vector<COLORREF> big(300, RGB(1, 2, 3));
    struct Case {
        const char* name;
        std::string bmp;
    } cases[] = {
        {"24 bits", MakeBmp(200, 100, 24, {}, Stripes)},
        {"RLE8", MakeBmp(200, 100, 8, kPalette, Stripes, 40, BI_RLE8)},
        {"300 colours", MakeBmp(200, 100, 8, big, Stripes)},
        {"colours used 300", MakeBmp(200, 100, 8, kPalette, Stripes, 40, 0, 300)},
        {"short file", MakeBmp(200, 100, 8, kPalette, Stripes).substr(0, 5000)},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        BmpScene scene(c.bmp);
        scene.map.Draw(&scene.view);
        EXPECT_EQ(scene.map.picture, nullptr);
        EXPECT_EQ(scene.canvas.At(200, 75), RGB(0, 0, 0));
    }
}

TEST(BmpPicture, TransparentCopyKeepsTheBackground) {
    BmpScene scene(MakeBmp(200, 100, 8, kPalette, Stripes));
    scene.map.Draw(&scene.view);
    scene.canvas.Fill(RGB(0, 90, 0));
    UniqueDc memory(CreateCompatibleDC(scene.canvas.dc()));
    scene.map.sourceOffset = POINT{0, 0};
    scene.map.PaintToView(&scene.view, memory.get(), scene.map.cached, true, true);
    EXPECT_EQ(scene.canvas.At(100, 100), RGB(0, 90, 0)); // the key colour lets the view through
    EXPECT_EQ(scene.canvas.At(200, 75), RGB(200, 0, 0));
    EXPECT_EQ(scene.canvas.At(20, 100), RGB(0, 90, 0)); // no border fill when transparent
}
