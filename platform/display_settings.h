// Display orientation with Windows CE's meaning of the DEVMODE fields: the desktop numbers 270
// degrees 3, Windows CE numbers the orientations as bits (0, 1, 2, 4) so that the driver can
// report the supported ones as a mask. No desktop display is turned: the layer keeps the
// orientation of a simulated display driver.
#pragma once
#include <windows.h>

constexpr DWORD kCeDmdo0 = 0;
constexpr DWORD kCeDmdo90 = 1;
constexpr DWORD kCeDmdo180 = 2;
constexpr DWORD kCeDmdo270 = 4;
constexpr DWORD kCeDmDisplayOrientation = 0x00800000;      // dmFields: dmDisplayOrientation
constexpr DWORD kCeDmDisplayQueryOrientation = 0x01000000; // dmFields: supported mask

// ChangeDisplaySettingsEx of Windows CE for the orientation fields of `mode`:
//  CDS_TEST with kCeDmDisplayQueryOrientation: dmDisplayOrientation = mask of supported ones;
//  CDS_TEST with kCeDmDisplayOrientation: dmDisplayOrientation = the current orientation;
//  CDS_RESET with kCeDmDisplayOrientation: sets it.
// DISP_CHANGE_SUCCESSFUL, or DISP_CHANGE_BADPARAM / DISP_CHANGE_BADMODE when refused.
LONG CeChangeDisplaySettingsEx(DEVMODEW* mode, DWORD flags);

// The simulated driver: supported mask (bits 1, 2, 4; 0 means only upright) and the current
// orientation. The defaults are all three rotations and upright.
void SetDisplayDriverForTesting(DWORD supportedMask, DWORD current);
