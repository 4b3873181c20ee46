// Device-independent bitmaps of the map pictures: bottom-up, 24 or 32 bits (or a palette).
#pragma once
#include <windows.h>

#include <cstdint>
#include <memory>

// Bytes from one bitmap row to the next: rows are padded to 4 bytes.
inline int DibStride(int width, int bitsPerPixel) {
    return static_cast<int>(((int64_t(width) * bitsPerPixel + 31) / 32) * 4);
}

// A bottom-up DIB section of width x height at 24 or 32 bits; null when it cannot be created
// (sizes not positive, or no memory). bits receives the pixel memory.
HBITMAP CreateDibSection(int width, int height, int bitsPerPixel, void** bits);

struct GdiObjectDeleter {
    void operator()(void* object) const {
        if (object)
            DeleteObject(static_cast<HGDIOBJ>(object));
    }
};
using UniqueBitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, GdiObjectDeleter>;

struct DcDeleter {
    void operator()(HDC dc) const {
        if (dc)
            DeleteDC(dc);
    }
};
using UniqueDc = std::unique_ptr<std::remove_pointer_t<HDC>, DcDeleter>;

// Keeps an object selected into a device context for a scope.
class SelectScope {
public:
    SelectScope(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
    ~SelectScope() { SelectObject(dc_, old_); }
    SelectScope(const SelectScope&) = delete;
    SelectScope& operator=(const SelectScope&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};
