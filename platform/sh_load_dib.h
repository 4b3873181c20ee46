// The shell's loader of a bitmap file into a DIB section.
#pragma once
#include <windows.h>

// Null when the file cannot be read as a bitmap.
HBITMAP SHLoadDIBitmap(const wchar_t* path);
