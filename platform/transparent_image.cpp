#include "platform/transparent_image.h"

BOOL TransparentImage(HDC dest, int destX, int destY, int destWidth, int destHeight, HANDLE source,
                      int srcX, int srcY, int srcWidth, int srcHeight, COLORREF transparent) {
    if (!dest || !source)
        return FALSE;
    DWORD type = GetObjectType(source);
    if (type == OBJ_DC || type == OBJ_MEMDC)
        return TransparentBlt(dest, destX, destY, destWidth, destHeight, static_cast<HDC>(source),
                              srcX, srcY, srcWidth, srcHeight, transparent);
    if (type != OBJ_BITMAP)
        return FALSE;
    HDC memory = CreateCompatibleDC(dest);
    if (!memory)
        return FALSE;
    HGDIOBJ old = SelectObject(memory, source);
    BOOL ok = TransparentBlt(dest, destX, destY, destWidth, destHeight, memory, srcX, srcY,
                             srcWidth, srcHeight, transparent);
    SelectObject(memory, old);
    DeleteDC(memory);
    return ok;
}
