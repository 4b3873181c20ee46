#include "maps/jpeg_decoder.h"

#include "maps/dib_section.h"

namespace {

[[noreturn]] void ThrowingErrorExit(j_common_ptr info) {
    // libjpeg's own text goes to the error stream first, as the library would print it.
    (*info->err->output_message)(info);
    throw JpegError();
}

} // namespace

JpegDecoder::JpegDecoder() {
    info_.err = jpeg_std_error(&errors_);
    errors_.error_exit = ThrowingErrorExit;
    jpeg_create_decompress(&info_);
}

JpegDecoder::~JpegDecoder() {
    jpeg_destroy_decompress(&info_);
    CloseFile();
}

bool JpegDecoder::OpenFile(const wchar_t* path) {
    CloseFile();
    file_ = path ? _wfopen(path, L"rb") : nullptr;
    return file_ != nullptr;
}

void JpegDecoder::CloseFile() {
    if (file_)
        fclose(file_);
    file_ = nullptr;
}

void JpegDecoder::UseFileSource() {
    if (!file_)
        throw JpegError();
    jpeg_stdio_src(&info_, file_);
}

void JpegDecoder::UseMemorySource(const uint8_t* data, size_t length) {
    if (!data || length == 0 || length > 0xFFFFFFFFu)
        throw JpegError();
    // libjpeg-turbo's memory source inserts an end-of-image marker when the block runs dry.
    jpeg_mem_src(&info_, data, static_cast<unsigned long>(length));
}

void JpegDecoder::ReadHeader() {
    if (started_)
        Finish();
    if (jpeg_read_header(&info_, TRUE) != JPEG_HEADER_OK)
        throw JpegError();
}

void JpegDecoder::Start() {
    cmyk_ = info_.jpeg_color_space == JCS_CMYK || info_.jpeg_color_space == JCS_YCCK;
    info_.out_color_space = cmyk_ ? JCS_CMYK : JCS_EXT_BGR;
    jpeg_start_decompress(&info_);
    started_ = true;
    if (cmyk_)
        cmykRow_.assign(size_t(info_.output_width) * 4, 0);
}

int JpegDecoder::Crop(int left, int columns) {
    JDIMENSION x = JDIMENSION(left), w = JDIMENSION(columns);
    jpeg_crop_scanline(&info_, &x, &w);
    if (cmyk_)
        cmykRow_.assign(size_t(info_.output_width) * 4, 0);
    return int(x);
}

void JpegDecoder::SkipRows(int rows) {
    if (rows > 0 && jpeg_skip_scanlines(&info_, JDIMENSION(rows)) != JDIMENSION(rows))
        throw JpegError();
}

void JpegDecoder::ReadRow(uint8_t* dest) {
    if (!started_ || info_.output_scanline >= info_.output_height)
        throw JpegError();
    JSAMPROW row = cmyk_ ? cmykRow_.data() : dest;
    if (jpeg_read_scanlines(&info_, &row, 1) != 1)
        throw JpegError();
    if (!cmyk_)
        return;
    // Adobe writes CMYK inverted (0 = full ink); others write plain ink values.
    const bool inverted = info_.saw_Adobe_marker;
    const uint8_t* src = cmykRow_.data();
    for (JDIMENSION x = 0; x < info_.output_width; ++x, src += 4, dest += 3) {
        int c = inverted ? src[0] : 255 - src[0];
        int m = inverted ? src[1] : 255 - src[1];
        int y = inverted ? src[2] : 255 - src[2];
        int k = inverted ? src[3] : 255 - src[3];
        dest[0] = static_cast<uint8_t>(y * k / 255);
        dest[1] = static_cast<uint8_t>(m * k / 255);
        dest[2] = static_cast<uint8_t>(c * k / 255);
    }
}

void JpegDecoder::Finish() {
    if (!started_) {
        jpeg_abort_decompress(&info_);
        return;
    }
    started_ = false;
    if (info_.output_scanline >= info_.output_height)
        jpeg_finish_decompress(&info_);
    else
        jpeg_abort_decompress(&info_);
}

namespace {

HBITMAP DecodeWhole(JpegDecoder& decoder) {
    decoder.ReadHeader();
    decoder.Start();
    void* bits = nullptr;
    UniqueBitmap bitmap(CreateDibSection(decoder.width(), decoder.height(), 24, &bits));
    if (!bitmap) {
        decoder.Finish();
        return nullptr;
    }
    const int stride = DibStride(decoder.width(), 24);
    uint8_t* base = static_cast<uint8_t*>(bits);
    // Bottom-up bitmap: the picture's first row is the last row in memory.
    for (int y = 0; y < decoder.height(); ++y)
        decoder.ReadRow(base + size_t(decoder.height() - 1 - y) * stride);
    decoder.Finish();
    GdiFlush();
    return bitmap.release();
}

} // namespace

HBITMAP DecodeJpegFile(const wchar_t* path) {
    try {
        JpegDecoder decoder;
        if (!decoder.OpenFile(path))
            return nullptr;
        decoder.UseFileSource();
        return DecodeWhole(decoder);
    } catch (const JpegError&) {
        return nullptr;
    }
}

HBITMAP DecodeJpegMemory(const uint8_t* data, size_t length) {
    try {
        JpegDecoder decoder;
        decoder.UseMemorySource(data, length);
        return DecodeWhole(decoder);
    } catch (const JpegError&) {
        return nullptr;
    }
}
