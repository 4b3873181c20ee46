#include "maps/png_decoder.h"

#include <cstdio>
#include <cstring>

#include "maps/dib_section.h"
#include "platform/ui_seam.h"

namespace {

constexpr size_t kSignatureBytes = 8;
const wchar_t kLibpngCaption[] = L"LIBPNG";

void ShowPngMessage(const wchar_t* text, const wchar_t* caption) {
    UiMessageBox(nullptr, text, caption, MB_OK | MB_TOPMOST);
}

void ShowLibpngText(png_const_charp message, const wchar_t* caption) {
    wchar_t text[260];
    swprintf(text, 260, L"%hs", message ? message : "");
    ShowPngMessage(text, caption);
}

void PngFileRead(png_structp png, png_bytep dest, size_t length) {
    HANDLE file = static_cast<HANDLE>(png_get_io_ptr(png));
    while (length > 0) {
        DWORD chunk = length > 0x40000000 ? 0x40000000 : static_cast<DWORD>(length);
        DWORD got = 0;
        if (!ReadFile(file, dest, chunk, &got, nullptr) || got == 0)
            png_error(png, "Read Error");
        dest += got;
        length -= got;
    }
}

HANDLE OpenForReading(const wchar_t* path) {
    if (!path)
        return INVALID_HANDLE_VALUE;
    return CreateFileW(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
}

bool ReadSignature(HANDLE file, uint8_t* signature) {
    DWORD got = 0;
    SetFilePointer(file, 0, nullptr, FILE_BEGIN);
    return ReadFile(file, signature, kSignatureBytes, &got, nullptr) && got == kSignatureBytes;
}

struct HandleCloser {
    HANDLE handle;
    ~HandleCloser() {
        if (handle != INVALID_HANDLE_VALUE)
            CloseHandle(handle);
    }
};

// Owns a read structure and its info structure.
class PngReadState {
public:
    bool Create() {
        png_ = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        if (!png_) {
            ShowPngMessage(L"Error PNG image 2", kLibpngCaption);
            return false;
        }
        info_ = png_create_info_struct(png_);
        if (!info_) {
            ShowPngMessage(L"Error PNG image 3", kLibpngCaption);
            return false;
        }
        png_set_error_fn(png_, png_get_error_ptr(png_), PngErrorCallback, PngWarningCallback);
        return true;
    }
    ~PngReadState() {
        if (png_)
            png_destroy_read_struct(&png_, info_ ? &info_ : nullptr, nullptr);
    }
    png_structp png() const { return png_; }
    png_infop info() const { return info_; }

private:
    png_structp png_ = nullptr;
    png_infop info_ = nullptr;
};

// Palette entries that are fully transparent take the transparent colour of map pictures;
// returns whether the picture carries transparency.
bool MarkTransparentPalette(png_structp png, png_infop info) {
    png_bytep alpha = nullptr;
    int alphaCount = 0;
    png_color_16p grey = nullptr;
    if (!png_get_tRNS(png, info, &alpha, &alphaCount, &grey) || alphaCount <= 0 || !alpha)
        return false;
    png_colorp palette = nullptr;
    int paletteCount = 0;
    if (png_get_PLTE(png, info, &palette, &paletteCount) && palette) {
        std::vector<png_color> copy(palette, palette + paletteCount);
        for (int i = 0; i < alphaCount && i < paletteCount; ++i) {
            if (alpha[i] == 0)
                copy[i] = png_color{248, 248, 248};
        }
        png_set_PLTE(png, info, copy.data(), paletteCount);
    }
    return true;
}

// Every picture comes out as 8-bit BGR or BGRA rows; returns the output channel count.
int SetWholePictureTransforms(png_structp png, png_infop info, const wchar_t* interlaceText) {
    const int colourType = png_get_color_type(png, info);
    if (colourType == PNG_COLOR_TYPE_PALETTE) {
        MarkTransparentPalette(png, info);
        png_set_palette_to_rgb(png);
    }
    if (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA) {
        png_set_expand_gray_1_2_4_to_8(png);
        png_set_gray_to_rgb(png);
    }
    if (png_get_valid(png, info, PNG_INFO_tRNS))
        png_set_tRNS_to_alpha(png);
    png_set_strip_16(png);
    png_set_packing(png);
    png_set_bgr(png);
    if (png_get_interlace_type(png, info) != PNG_INTERLACE_NONE) {
        ShowPngMessage(interlaceText, L"interlace");
        png_set_interlace_handling(png);
    }
    png_read_update_info(png, info);
    return png_get_channels(png, info);
}

HBITMAP DecodeWhole(png_structp png, png_infop info, const wchar_t* interlaceText) {
    png_set_sig_bytes(png, kSignatureBytes);
    png_read_info(png, info);
    const int channels = SetWholePictureTransforms(png, info, interlaceText);
    if (channels != 3 && channels != 4)
        png_error(png, "Unsupported PNG pixel layout");
    const int width = static_cast<int>(png_get_image_width(png, info));
    const int height = static_cast<int>(png_get_image_height(png, info));
    if (png_get_rowbytes(png, info) != size_t(width) * channels)
        png_error(png, "Unsupported PNG row size");
    void* bits = nullptr;
    UniqueBitmap bitmap(CreateDibSection(width, height, channels * 8, &bits));
    if (bitmap) {
        const int stride = DibStride(width, channels * 8);
        std::vector<png_bytep> rows(height);
        for (int i = 0; i < height; ++i)
            rows[i] = static_cast<png_bytep>(bits) + size_t(height - 1 - i) * stride;
        png_read_image(png, rows.data());
        GdiFlush();
    }
    png_read_end(png, nullptr);
    return bitmap.release();
}

} // namespace

void PngErrorCallback(png_structp, png_const_charp message) {
    ShowLibpngText(message, L"LIBPNG error");
    throw PngError();
}

void PngWarningCallback(png_structp, png_const_charp message) {
    ShowLibpngText(message, L"LIBPNG warning");
    throw PngError();
}

void PngMemoryRead(png_structp png, png_bytep dest, size_t length) {
    PngMemoryCursor* cursor = static_cast<PngMemoryCursor*>(png_get_io_ptr(png));
    if (!cursor || size_t(cursor->end - cursor->next) < length)
        png_error(png, "Read past the end of the PNG data");
    memcpy(dest, cursor->next, length);
    cursor->next += length;
}

HBITMAP DecodePngFile(const wchar_t* path) {
    HandleCloser file{OpenForReading(path)};
    if (file.handle == INVALID_HANDLE_VALUE)
        return nullptr;
    uint8_t signature[kSignatureBytes];
    if (!ReadSignature(file.handle, signature) || png_sig_cmp(signature, 0, kSignatureBytes) != 0)
        return nullptr;
    try {
        PngReadState state;
        if (!state.Create())
            return nullptr;
        png_set_read_fn(state.png(), file.handle, PngFileRead);
        return DecodeWhole(state.png(), state.info(), path);
    } catch (const PngError&) {
        return nullptr;
    }
}

HBITMAP DecodePngMemory(const uint8_t* data, size_t length) {
    if (!data || length < kSignatureBytes || png_sig_cmp(data, 0, kSignatureBytes) != 0)
        return nullptr;
    PngMemoryCursor cursor{data + kSignatureBytes, data + length};
    try {
        PngReadState state;
        if (!state.Create())
            return nullptr;
        png_set_read_fn(state.png(), &cursor, PngMemoryRead);
        return DecodeWhole(state.png(), state.info(), L"PNG");
    } catch (const PngError&) {
        return nullptr;
    }
}

PngPicture::~PngPicture() {
    Close();
}

void PngPicture::Close() {
    if (png_)
        png_destroy_read_struct(&png_, info_ ? &info_ : nullptr, nullptr);
    png_ = nullptr;
    info_ = nullptr;
    if (file_ != INVALID_HANDLE_VALUE)
        CloseHandle(file_);
    file_ = INVALID_HANDLE_VALUE;
}

bool PngPicture::Open(const wchar_t* path) {
    Close();
    file_ = OpenForReading(path);
    if (file_ == INVALID_HANDLE_VALUE) {
        ShowPngMessage(L"Error opening PNG image", kLibpngCaption);
        return false;
    }
    uint8_t signature[kSignatureBytes];
    if (!ReadSignature(file_, signature) || png_sig_cmp(signature, 0, kSignatureBytes) != 0) {
        Close();
        ShowPngMessage(L"Error PNG image 1", kLibpngCaption);
        return false;
    }
    png_ = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png_) {
        Close();
        ShowPngMessage(L"Error PNG image 2", kLibpngCaption);
        return false;
    }
    info_ = png_create_info_struct(png_);
    if (!info_) {
        Close();
        ShowPngMessage(L"Error PNG image 3", kLibpngCaption);
        return false;
    }
    try {
        png_set_error_fn(png_, png_get_error_ptr(png_), PngErrorCallback, PngWarningCallback);
        png_set_read_fn(png_, file_, PngFileRead);
        png_set_sig_bytes(png_, kSignatureBytes);
        png_read_info(png_, info_);
        width_ = static_cast<int>(png_get_image_width(png_, info_));
        height_ = static_cast<int>(png_get_image_height(png_, info_));
        bitDepth_ = png_get_bit_depth(png_, info_);
        // The map bitmap is 24-bit: every layout is brought to 8-bit BGR without alpha.
        png_set_expand(png_);
        png_set_gray_to_rgb(png_);
        png_set_strip_alpha(png_);
        png_set_strip_16(png_);
        png_set_bgr(png_);
        png_set_interlace_handling(png_);
        png_read_update_info(png_, info_);
        if (png_get_channels(png_, info_) != 3 ||
            png_get_rowbytes(png_, info_) != size_t(width_) * 3)
            png_error(png_, "Unsupported PNG pixel layout");
    } catch (const PngError&) {
        Close();
        ShowPngMessage(L"Error PNG image 4", kLibpngCaption);
        return false;
    }
    return true;
}

bool PngPicture::ReadImage(const std::vector<uint8_t*>& rows) {
    if (!png_ || rows.size() != size_t(height_))
        return false;
    try {
        png_read_image(png_, const_cast<png_bytepp>(rows.data()));
        png_read_end(png_, nullptr);
    } catch (const PngError&) {
        Close();
        return false;
    }
    Close();
    return true;
}
