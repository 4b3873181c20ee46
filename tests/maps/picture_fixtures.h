// Small pictures made with libjpeg and libpng for the map tests, and pixel reads of bitmaps.
#pragma once
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include <jpeglib.h>
#include <png.h>

namespace fixtures {

// Colour of picture pixel (x, y), y counted from the top.
using PixelFn = std::function<COLORREF(int x, int y)>;

inline std::string EncodeJpeg(int width, int height, const PixelFn& pixel,
                              J_COLOR_SPACE space = JCS_RGB, int quality = 95) {
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* out = nullptr;
    unsigned long outSize = 0;
    jpeg_mem_dest(&info, &out, &outSize);
    info.image_width = width;
    info.image_height = height;
    info.input_components = space == JCS_GRAYSCALE ? 1 : space == JCS_CMYK ? 4 : 3;
    info.in_color_space = space;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<uint8_t> row(size_t(width) * info.input_components);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            COLORREF c = pixel(x, y);
            uint8_t* p = &row[size_t(x) * info.input_components];
            if (space == JCS_GRAYSCALE) {
                p[0] = GetGValue(c);
            } else if (space == JCS_CMYK) { // Adobe-style inverted ink, no black
                p[0] = GetRValue(c);
                p[1] = GetGValue(c);
                p[2] = GetBValue(c);
                p[3] = 255;
            } else {
                p[0] = GetRValue(c);
                p[1] = GetGValue(c);
                p[2] = GetBValue(c);
            }
        }
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&info, &r, 1);
    }
    jpeg_finish_compress(&info);
    std::string bytes(reinterpret_cast<char*>(out), outSize);
    jpeg_destroy_compress(&info);
    free(out);
    return bytes;
}

struct PngSpec {
    int width = 4;
    int height = 4;
    int colourType = PNG_COLOR_TYPE_RGB;
    int bitDepth = 8;
    bool interlaced = false;
    std::vector<png_color> palette;
    std::vector<uint8_t> paletteAlpha;
    // Raw samples of each row, top first, as libpng takes them.
    std::function<std::vector<uint8_t>(int y)> row;
};

inline void PngWriteToString(png_structp png, png_bytep data, size_t length) {
    static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<char*>(data), length);
}

inline std::string EncodePng(const PngSpec& spec) {
    std::string bytes;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &bytes, PngWriteToString, nullptr);
    png_set_IHDR(png, info, spec.width, spec.height, spec.bitDepth, spec.colourType,
                 spec.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!spec.palette.empty())
        png_set_PLTE(png, info, spec.palette.data(), int(spec.palette.size()));
    if (!spec.paletteAlpha.empty())
        png_set_tRNS(png, info, spec.paletteAlpha.data(), int(spec.paletteAlpha.size()), nullptr);
    png_write_info(png, info);
    std::vector<std::vector<uint8_t>> rows;
    std::vector<png_bytep> pointers;
    for (int y = 0; y < spec.height; ++y)
        rows.push_back(spec.row(y));
    for (auto& r : rows)
        pointers.push_back(r.data());
    png_write_image(png, pointers.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return bytes;
}

struct DibInfo {
    int width = 0;
    int height = 0;
    int bits = 0;
    const uint8_t* pixels = nullptr;
    int stride = 0;
};

inline DibInfo ReadDib(HBITMAP bitmap) {
    DIBSECTION section{};
    DibInfo info;
    if (!bitmap || GetObjectW(bitmap, sizeof(section), &section) != sizeof(section))
        return info;
    info.width = section.dsBm.bmWidth;
    info.height = section.dsBm.bmHeight;
    info.bits = section.dsBm.bmBitsPixel;
    info.pixels = static_cast<const uint8_t*>(section.dsBm.bmBits);
    info.stride = section.dsBm.bmWidthBytes;
    return info;
}

// Colour of bitmap pixel (x, y), y from the top of the picture (bottom-up DIB of 24/32 bits).
inline COLORREF DibPixel(const DibInfo& dib, int x, int y) {
    const uint8_t* p =
        dib.pixels + size_t(dib.height - 1 - y) * dib.stride + size_t(x) * (dib.bits / 8);
    return RGB(p[2], p[1], p[0]);
}

inline bool Near(COLORREF a, COLORREF b, int tolerance = 12) {
    return abs(GetRValue(a) - GetRValue(b)) <= tolerance &&
           abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

// A 24-bit DIB section selected into a memory DC: the surface the views paint into in tests.
class Canvas {
public:
    Canvas(int width, int height, COLORREF fill = RGB(0, 0, 0)) : width_(width), height_(height) {
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        bi.bmiHeader.biWidth = width;
        bi.bmiHeader.biHeight = -height; // top-down: row y at y
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateDIBSection(dc_, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_),
                                   nullptr, 0);
        old_ = SelectObject(dc_, bitmap_);
        Fill(fill);
    }
    ~Canvas() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    void Fill(COLORREF colour) {
        GdiFlush();
        for (int i = 0; i < width_ * height_; ++i)
            bits_[i] = (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
    }
    COLORREF At(int x, int y) const {
        GdiFlush();
        uint32_t v = bits_[size_t(y) * width_ + x];
        return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
    }
    HDC dc() const { return dc_; }

private:
    int width_, height_;
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
    uint32_t* bits_ = nullptr;
};

} // namespace fixtures
