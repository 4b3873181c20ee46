#include "platform/sh_load_dib.h"

HBITMAP SHLoadDIBitmap(const wchar_t* path) {
    if (!path || !*path)
        return nullptr;
    return static_cast<HBITMAP>(
        LoadImageW(nullptr, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
}
