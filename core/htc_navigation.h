// Optional navigation-pad support through the device library "HTCAPI.dll", bound at run time.
#pragma once
#include <windows.h>

// 1 when the pad was opened; 0 when the library is missing (silently) or incomplete.
int OpenHtcNavigation(HWND window);
int CloseHtcNavigation();
