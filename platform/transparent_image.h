// The device's keyed-colour copy. On the desktop TransparentBlt does the work; the source may be
// a device context or a bitmap, as on the device.
#pragma once
#include <windows.h>

BOOL TransparentImage(HDC dest, int destX, int destY, int destWidth, int destHeight, HANDLE source,
                      int srcX, int srcY, int srcWidth, int srcHeight, COLORREF transparent);
