#include "maps/dib_section.h"

HBITMAP CreateDibSection(int width, int height, int bitsPerPixel, void** bits) {
    void* dummy = nullptr;
    void** out = bits ? bits : &dummy;
    *out = nullptr;
    if (width <= 0 || height <= 0 || (bitsPerPixel != 24 && bitsPerPixel != 32))
        return nullptr;
    // A DIB section larger than 2 GB cannot be addressed by GDI's 32-bit sizes.
    if (int64_t(DibStride(width, bitsPerPixel)) * height > 0x7FFFFFFF)
        return nullptr;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = static_cast<WORD>(bitsPerPixel);
    info.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, out, nullptr, 0);
    ReleaseDC(nullptr, screen);
    if (!bitmap)
        *out = nullptr;
    return bitmap;
}
