// PNG decoding with libpng into the byte order of a DIB: blue, green, red (then alpha), 8 bits
// per channel. Pictures are read through Win32 file handles or from a block in memory.
#pragma once
#include <windows.h>

#include <cstdint>
#include <exception>
#include <vector>

#include <png.h>

struct PngError : std::exception {
    const char* what() const noexcept override { return "PNG decoding failed"; }
};

// libpng's error and warning hooks: the message is shown, then decoding ends (PngError).
void PngErrorCallback(png_structp png, png_const_charp message);
void PngWarningCallback(png_structp png, png_const_charp message);

// The cursor of a block being read; reading past its end is a libpng error.
struct PngMemoryCursor {
    const uint8_t* next;
    const uint8_t* end;
};
void PngMemoryRead(png_structp png, png_bytep dest, size_t length);

// Whole pictures into new bottom-up DIB sections: 32 bits when the picture has transparency
// (palette entries with alpha 0 turned into RGB(248,248,248)), else 24. Null on failure.
HBITMAP DecodePngFile(const wchar_t* path);
HBITMAP DecodePngMemory(const uint8_t* data, size_t length);

// A PNG map picture read row by row into a 24-bit bitmap (transparency dropped).
class PngPicture {
public:
    PngPicture() = default;
    ~PngPicture();
    PngPicture(const PngPicture&) = delete;
    PngPicture& operator=(const PngPicture&) = delete;

    // Opens the file and reads the header; on failure shows the reason and returns false.
    bool Open(const wchar_t* path);
    int width() const { return width_; }
    int height() const { return height_; }
    int bitDepth() const { return bitDepth_; }
    // Fills rows (top of the picture first), each width() x 3 bytes; false on a libpng error.
    bool ReadImage(const std::vector<uint8_t*>& rows);
    void Close();

private:
    HANDLE file_ = INVALID_HANDLE_VALUE;
    png_structp png_ = nullptr;
    png_infop info_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    int bitDepth_ = 0;
};
