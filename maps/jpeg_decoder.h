// JPEG decoding with libjpeg straight into the byte order of a 24-bit DIB (blue, green, red).
// Grey pictures are widened to BGR by libjpeg; CMYK and YCCK pictures are converted here.
// A libjpeg error throws JpegError out of the libjpeg call, so that every caller unwinds with
// its handles freed.
#pragma once
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <exception>
#include <vector>

// jpeglib.h needs <cstdio> first.
#include <jpeglib.h>

struct JpegError : std::exception {
    const char* what() const noexcept override { return "JPEG decoding failed"; }
};

class JpegDecoder {
public:
    JpegDecoder();
    ~JpegDecoder();
    JpegDecoder(const JpegDecoder&) = delete;
    JpegDecoder& operator=(const JpegDecoder&) = delete;

    bool OpenFile(const wchar_t* path); // false when the file cannot be opened
    FILE* file() const { return file_; }
    // The decoder reads the file from its current position.
    void UseFileSource();
    // The block must outlive the decoding; running dry ends the picture, it never loops.
    void UseMemorySource(const uint8_t* data, size_t length);

    void ReadHeader(); // throws JpegError
    void Start();      // after ReadHeader: output is BGR, 3 bytes per pixel
    int width() const { return static_cast<int>(info_.output_width); }
    int height() const { return static_cast<int>(info_.output_height); }
    int imageWidth() const { return static_cast<int>(info_.image_width); }
    int imageHeight() const { return static_cast<int>(info_.image_height); }
    int rowsRead() const { return static_cast<int>(info_.output_scanline); }
    // After Start: decode only the columns from `left`, at least `columns` of them; libjpeg
    // widens the window to whole blocks. Returns the first column that rows now start at.
    int Crop(int left, int columns);
    // Passes over rows without colour conversion.
    void SkipRows(int rows);
    // Decodes the next row into dest, which holds width() x 3 bytes.
    void ReadRow(uint8_t* dest);
    // Ends the picture: finishes it when every row was read, else abandons the rest.
    void Finish();
    void CloseFile();

private:
    jpeg_decompress_struct info_;
    jpeg_error_mgr errors_;
    FILE* file_ = nullptr;
    bool started_ = false;
    bool cmyk_ = false;
    std::vector<uint8_t> cmykRow_;
};

// Whole pictures into new bottom-up 24-bit DIB sections; null on any failure.
HBITMAP DecodeJpegFile(const wchar_t* path);
HBITMAP DecodeJpegMemory(const uint8_t* data, size_t length);
