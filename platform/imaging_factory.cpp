#include "platform/imaging_factory.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <csetjmp>
#include <jpeglib.h>

namespace {

class BufferImage : public IImage {
public:
    explicit BufferImage(const ImageInfo& info) : info_(info) {}
    HRESULT GetImageInfo(ImageInfo* info) override {
        if (!info)
            return E_POINTER;
        *info = info_;
        return S_OK;
    }
    ULONG Release() override {
        delete this;
        return 0;
    }

private:
    ImageInfo info_;
};

struct HeaderErrorManager {
    jpeg_error_mgr pub;
    jmp_buf jump;
};

void HeaderErrorExit(j_common_ptr info) {
    longjmp(reinterpret_cast<HeaderErrorManager*>(info->err)->jump, 1);
}

void SilentMessage(j_common_ptr) {}

// Only the header is read: no locals with destructors live across the jump.
bool ReadJpegInfo(const uint8_t* data, UINT size, ImageInfo* info) {
    jpeg_decompress_struct cinfo;
    HeaderErrorManager err;
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = HeaderErrorExit;
    err.pub.output_message = SilentMessage;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, data, size);
    jpeg_read_header(&cinfo, TRUE);
    info->Width = cinfo.image_width;
    info->Height = cinfo.image_height;
    info->BitsPerPixel = 8u * static_cast<UINT>(cinfo.num_components);
    double perInch = cinfo.density_unit == 1 ? 1.0 : cinfo.density_unit == 2 ? 2.54 : 0.0;
    info->Xdpi = cinfo.X_density * perInch;
    info->Ydpi = cinfo.Y_density * perInch;
    jpeg_destroy_decompress(&cinfo);
    return true;
}

uint32_t BigEndian32(const uint8_t* p) {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}

// PNG: signature, then the IHDR chunk (length 13) at offset 8: width, height, depth, colour type.
bool ReadPngInfo(const uint8_t* data, UINT size, ImageInfo* info) {
    static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (size < 33 || memcmp(data, kSignature, 8) != 0 || memcmp(data + 12, "IHDR", 4) != 0)
        return false;
    info->Width = BigEndian32(data + 16);
    info->Height = BigEndian32(data + 20);
    static const UINT kChannels[7] = {1, 0, 3, 1, 2, 0, 4};
    uint8_t colourType = data[25];
    info->BitsPerPixel = colourType < 7 ? data[24] * kChannels[colourType] : 0;
    info->Xdpi = info->Ydpi = 0.0;
    return info->Width > 0 && info->Height > 0;
}

class Factory : public IImagingFactory {
public:
    HRESULT CreateImageFromBuffer(const void* buffer, UINT size, BufferDisposalFlag,
                                  IImage** image) override {
        if (!image)
            return E_POINTER;
        *image = nullptr;
        if (!buffer || size == 0)
            return E_INVALIDARG;
        const uint8_t* data = static_cast<const uint8_t*>(buffer);
        ImageInfo info{};
        bool ok = (size >= 2 && data[0] == 0xFF && data[1] == 0xD8)
                      ? ReadJpegInfo(data, size, &info)
                      : ReadPngInfo(data, size, &info);
        if (!ok)
            return E_FAIL;
        *image = new BufferImage(info);
        return S_OK;
    }
    ULONG Release() override {
        delete this;
        return 0;
    }
};

} // namespace

HRESULT CreateImagingFactory(IImagingFactory** factory) {
    if (!factory)
        return E_POINTER;
    *factory = new Factory();
    return S_OK;
}
