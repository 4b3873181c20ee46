// A small stand-in of the device's imaging component: the factory, an image made from a block of
// JPEG or PNG bytes, and the image's information. Only what the map readers ask of it exists.
#pragma once
#include <windows.h>

enum BufferDisposalFlag { BufferDisposalFlagNone = 0 };

struct ImageInfo {
    UINT Width;
    UINT Height;
    UINT BitsPerPixel;
    double Xdpi; // 0 when the picture states no resolution
    double Ydpi;
};

class IImage {
public:
    virtual HRESULT GetImageInfo(ImageInfo* info) = 0;
    virtual ULONG Release() = 0;

protected:
    virtual ~IImage() = default;
};

class IImagingFactory {
public:
    // The block is read at once; the caller keeps it.
    virtual HRESULT CreateImageFromBuffer(const void* buffer, UINT size, BufferDisposalFlag flag,
                                          IImage** image) = 0;
    virtual ULONG Release() = 0;

protected:
    virtual ~IImagingFactory() = default;
};

// Stands in for creating the in-process imaging server; S_OK and a factory, or an error.
HRESULT CreateImagingFactory(IImagingFactory** factory);
