// JPEG and PNG pictures decoded into DIB sections: byte order, orientation, colour layouts and
// damaged input.
#include <gtest/gtest.h>

#include "maps/jpeg_decoder.h"
#include "maps/png_decoder.h"
#include "maps/tiled_map.h"
#include "tests/maps/picture_fixtures.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/ui_recorder.h"

using namespace fixtures;

namespace {

COLORREF TopRedBottomBlue(int, int y) {
    return y < 8 ? RGB(220, 30, 30) : RGB(30, 30, 220);
}

const uint8_t* Bytes(const std::string& s) {
    return reinterpret_cast<const uint8_t*>(s.data());
}

struct BitmapGuard {
    HBITMAP bitmap;
    ~BitmapGuard() {
        if (bitmap)
            DeleteObject(bitmap);
    }
};

} // namespace

TEST(JpegDecoding, RowsUprightInBgrOrderForEveryColourSpace) {
    struct Case {
        J_COLOR_SPACE space;
        COLORREF top, bottom;
    } cases[] = {
        {JCS_RGB, RGB(220, 30, 30), RGB(30, 30, 220)},
        {JCS_GRAYSCALE, RGB(30, 30, 30), RGB(30, 30, 30)}, // grey takes the green channel
        {JCS_CMYK, RGB(220, 30, 30), RGB(30, 30, 220)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.space));
        std::string jpeg = EncodeJpeg(16, 16, TopRedBottomBlue, c.space);
        BitmapGuard guard{DecodeJpegMemory(Bytes(jpeg), jpeg.size())};
        DibInfo dib = ReadDib(guard.bitmap);
        ASSERT_EQ(dib.bits, 24);
        ASSERT_EQ(dib.width, 16);
        ASSERT_EQ(dib.height, 16);
        EXPECT_TRUE(Near(DibPixel(dib, 4, 2), c.top)) << std::hex << DibPixel(dib, 4, 2);
        EXPECT_TRUE(Near(DibPixel(dib, 4, 13), c.bottom)) << std::hex << DibPixel(dib, 4, 13);
    }
}

TEST(JpegDecoding, FileAndDamagedMemory) {
    ScratchDir dir;
    std::string jpeg = EncodeJpeg(16, 16, TopRedBottomBlue);
    BitmapGuard file{DecodeJpegFile(dir.WriteFile(L"a.jpg", jpeg).c_str())};
    EXPECT_EQ(ReadDib(file.bitmap).width, 16);
    EXPECT_EQ(DecodeJpegFile((dir / L"missing.jpg").c_str()), nullptr);
    // A block that runs dry mid-picture ends the picture instead of waiting for more data.
    std::string big = EncodeJpeg(64, 64, [](int x, int y) { return RGB(x * 4, y * 4, x ^ y); });
    BitmapGuard truncated{DecodeJpegMemory(Bytes(big), big.size() * 3 / 4)};
    EXPECT_EQ(ReadDib(truncated.bitmap).height, 64);
    std::string junk = "\xFF\xD8 not a picture at all";
    EXPECT_EQ(DecodeJpegMemory(Bytes(junk), junk.size()), nullptr);
    EXPECT_EQ(DecodeJpegMemory(nullptr, 0), nullptr);
}

namespace {

PngSpec PaletteWithTransparency() {
    PngSpec spec;
    spec.colourType = PNG_COLOR_TYPE_PALETTE;
    spec.palette = {{10, 200, 10}, {200, 10, 10}};
    spec.paletteAlpha = {0, 255}; // entry 0 fully transparent
    spec.row = [](int y) { return std::vector<uint8_t>{uint8_t(y < 2), 1, 1, 0}; };
    return spec;
}

PngSpec Grey(int bitDepth, bool alpha) {
    PngSpec spec;
    spec.colourType = alpha ? PNG_COLOR_TYPE_GRAY_ALPHA : PNG_COLOR_TYPE_GRAY;
    spec.bitDepth = bitDepth;
    spec.row = [bitDepth, alpha](int) {
        std::vector<uint8_t> row;
        for (int x = 0; x < 4; ++x) {
            for (int b = 0; b < bitDepth / 8; ++b)
                row.push_back(0x80);
            if (alpha)
                for (int b = 0; b < bitDepth / 8; ++b)
                    row.push_back(0xFF);
        }
        return row;
    };
    return spec;
}

PngSpec Rgb16() {
    PngSpec spec;
    spec.bitDepth = 16;
    spec.row = [](int y) {
        std::vector<uint8_t> row;
        for (int x = 0; x < 4; ++x) {
            uint8_t r = y < 2 ? 0xC8 : 0x14, b = y < 2 ? 0x14 : 0xC8;
            for (uint8_t v : {r, r, uint8_t(0x14), uint8_t(0x14), b, b})
                row.push_back(v);
        }
        return row;
    };
    return spec;
}

} // namespace

TEST(PngDecoding, LayoutsComeOutAsDibPixels) {
    struct Case {
        const char* name;
        PngSpec spec;
        int bits;
        COLORREF top, bottom;
    } cases[] = {
        {"palette+tRNS", PaletteWithTransparency(), 32, RGB(200, 10, 10), RGB(248, 248, 248)},
        {"grey", Grey(8, false), 24, RGB(128, 128, 128), RGB(128, 128, 128)},
        {"grey+alpha", Grey(8, true), 32, RGB(128, 128, 128), RGB(128, 128, 128)},
        {"grey 16-bit", Grey(16, false), 24, RGB(128, 128, 128), RGB(128, 128, 128)},
        {"rgb 16-bit", Rgb16(), 24, RGB(200, 20, 20), RGB(20, 20, 200)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string png = EncodePng(c.spec);
        BitmapGuard guard{DecodePngMemory(Bytes(png), png.size())};
        DibInfo dib = ReadDib(guard.bitmap);
        ASSERT_EQ(dib.bits, c.bits);
        ASSERT_EQ(dib.width, 4);
        EXPECT_EQ(DibPixel(dib, 0, 0), c.top);
        // x = 3 of the palette picture is entry 0 on every row: transparent.
        EXPECT_EQ(DibPixel(dib, 3, 3), c.bottom);
    }
}

TEST(PngDecoding, FileSignatureAndInterlace) {
    ScratchDir dir;
    std::string png = EncodePng(Rgb16());
    BitmapGuard file{DecodePngFile(dir.WriteFile(L"a.png", png).c_str())};
    EXPECT_EQ(ReadDib(file.bitmap).height, 4);
    // A wrong signature gives null without a message from the whole-picture functions...
    std::string bad = "GIF89a" + png.substr(6);
    EXPECT_EQ(DecodePngFile(dir.WriteFile(L"bad.png", bad).c_str()), nullptr);
    EXPECT_EQ(DecodePngMemory(Bytes(bad), bad.size()), nullptr);
    // ...and "Error PNG image 1" when opened as a map picture.
    UiRecorder ui;
    PngPicture picture;
    EXPECT_FALSE(picture.Open((dir / L"bad.png").c_str()));
    ASSERT_EQ(ui.count(), 1u);
    EXPECT_EQ(ui.last().text, L"Error PNG image 1");
    EXPECT_EQ(ui.last().caption, L"LIBPNG");

    PngSpec interlaced = Grey(8, false);
    interlaced.interlaced = true;
    std::string text = EncodePng(interlaced);
    BitmapGuard decoded{DecodePngMemory(Bytes(text), text.size())};
    EXPECT_EQ(DibPixel(ReadDib(decoded.bitmap), 2, 2), RGB(128, 128, 128));
    ASSERT_EQ(ui.count(), 2u);
    EXPECT_EQ(ui.last().caption, L"interlace");
    EXPECT_EQ(ui.last().text, L"PNG");
}

TEST(PngDecoding, TruncatedBlockIsNeverReadPastItsEnd) {
    std::string png = EncodePng(Rgb16());
    UiRecorder ui;
    for (size_t cut : {size_t(8), size_t(20), png.size() / 2, png.size() - 13}) {
        SCOPED_TRACE(cut);
        // The block is copied so that reading beyond it would leave the allocation.
        std::vector<uint8_t> block(png.begin(), png.begin() + cut);
        EXPECT_EQ(DecodePngMemory(block.data(), block.size()), nullptr);
    }
    EXPECT_GE(ui.count(), 1u);
    EXPECT_EQ(ui.last().caption, L"LIBPNG error");
}

TEST(PngDecoding, MapPictureReadsRowsAsBgr) {
    ScratchDir dir;
    std::wstring path = dir.WriteFile(L"map.png", EncodePng(PaletteWithTransparency()));
    PngPicture picture;
    ASSERT_TRUE(picture.Open(path.c_str()));
    EXPECT_EQ(picture.width(), 4);
    std::vector<std::vector<uint8_t>> rows(4, std::vector<uint8_t>(12));
    std::vector<uint8_t*> pointers;
    for (auto& r : rows)
        pointers.push_back(r.data());
    ASSERT_TRUE(picture.ReadImage(pointers));
    EXPECT_EQ(rows[0][3 * 1 + 2], 200); // red of entry 1, blue first
    EXPECT_EQ(rows[0][3 * 1 + 0], 10);
}
