// Display orientation through the display driver, in Windows CE's values: 0 (upright),
// 1 (90 degrees), 2 (180), 4 (270). The choice is kept in cfg4 bits 24-26.
#pragma once
#include <windows.h>

class DeviceProfile;

// The driver's mask of supported orientations; 0 on failure.
DWORD QueryDisplayOrientations();
// The current orientation; 0 on failure.
DWORD GetDisplayOrientation();
// Sets it (a refusal is ignored); with store, also into cfg4.
void SetOrientation(DeviceProfile* profile, DWORD orientation, bool store);
// 0 -> 90 -> 180 -> 270 -> 0 degrees, stored into cfg4.
void RotateDisplay(DeviceProfile* profile);
