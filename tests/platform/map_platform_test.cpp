// The platform pieces of map drawing: keyed copy, bitmap files and the imaging stand-in.
#include <gtest/gtest.h>

#include "platform/imaging_factory.h"
#include "platform/sh_load_dib.h"
#include "platform/transparent_image.h"
#include "tests/maps/picture_fixtures.h"
#include "tests/support/scratch_dir.h"

using namespace fixtures;

TEST(TransparentImage, KeyColourLetsTheTargetThroughFromDcOrBitmap) {
    void* bits = nullptr;
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), 2, 1, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    HBITMAP source = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    uint8_t* p = static_cast<uint8_t*>(bits);
    const uint8_t pixels[6] = {248, 248, 248, 0, 0, 200}; // key colour, then red (BGR)
    memcpy(p, pixels, 6);
    HDC sourceDc = CreateCompatibleDC(nullptr);
    for (bool asDc : {true, false}) {
        SCOPED_TRACE(asDc ? "device context" : "bitmap");
        Canvas canvas(4, 2, RGB(0, 90, 0));
        HGDIOBJ old = asDc ? SelectObject(sourceDc, source) : nullptr;
        EXPECT_TRUE(TransparentImage(canvas.dc(), 0, 0, 4, 2,
                                     asDc ? HANDLE(sourceDc) : HANDLE(source), 0, 0, 2, 1,
                                     RGB(248, 248, 248)));
        if (asDc)
            SelectObject(sourceDc, old);
        EXPECT_EQ(canvas.At(0, 0), RGB(0, 90, 0));
        EXPECT_EQ(canvas.At(3, 1), RGB(200, 0, 0));
    }
    EXPECT_FALSE(TransparentImage(nullptr, 0, 0, 1, 1, source, 0, 0, 1, 1, 0));
    DeleteDC(sourceDc);
    DeleteObject(source);
}

TEST(ShLoadDibBitmap, LoadsBitmapFilesOnly) {
    ScratchDir dir;
    // 1 x 1 pixel, 24 bits: file header, info header, one padded row.
    std::string bmp("BM\x3A\0\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0\x01\0\0\0\x01\0\0\0\x01\0\x18\0"
                    "\0\0\0\0\x04\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\x10\x20\x30\0",
                    58);
    HBITMAP bitmap = SHLoadDIBitmap(dir.WriteFile(L"a.bmp", bmp).c_str());
    ASSERT_NE(bitmap, nullptr);
    DibInfo dib = ReadDib(bitmap);
    EXPECT_EQ(dib.width, 1);
    EXPECT_EQ(DibPixel(dib, 0, 0), RGB(0x30, 0x20, 0x10));
    DeleteObject(bitmap);
    EXPECT_EQ(SHLoadDIBitmap(dir.WriteFile(L"b.bmp", "not a bitmap").c_str()), nullptr);
    EXPECT_EQ(SHLoadDIBitmap((dir / L"missing.bmp").c_str()), nullptr);
}

TEST(ImagingFactory, ImageInformationOfJpegAndPngBlocks) {
    IImagingFactory* factory = nullptr;
    ASSERT_EQ(CreateImagingFactory(&factory), S_OK);
    std::string jpeg = EncodeJpeg(40, 24, [](int, int) { return RGB(1, 2, 3); });
    PngSpec spec;
    spec.width = 7;
    spec.height = 5;
    spec.row = [](int) { return std::vector<uint8_t>(21, 9); };
    std::string png = EncodePng(spec);
    struct Case {
        std::string bytes;
        UINT width, height;
    } cases[] = {{jpeg, 40, 24}, {png, 7, 5}};
    for (const Case& c : cases) {
        IImage* image = nullptr;
        ASSERT_EQ(factory->CreateImageFromBuffer(c.bytes.data(), UINT(c.bytes.size()),
                                                 BufferDisposalFlagNone, &image),
                  S_OK);
        ImageInfo info{};
        EXPECT_EQ(image->GetImageInfo(&info), S_OK);
        EXPECT_EQ(info.Width, c.width);
        EXPECT_EQ(info.Height, c.height);
        image->Release();
    }
    IImage* image = reinterpret_cast<IImage*>(1);
    EXPECT_NE(factory->CreateImageFromBuffer("\xFF\xD8junk", 6, BufferDisposalFlagNone, &image),
              S_OK);
    EXPECT_EQ(image, nullptr);
    EXPECT_NE(factory->CreateImageFromBuffer(png.data(), 20, BufferDisposalFlagNone, &image), S_OK);
    factory->Release();
}
