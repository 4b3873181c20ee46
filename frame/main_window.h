// The main window: hosts the views, answers the 500 ms tick, a second start's command line
// and the receiver's messages, and runs the shut-down when it is destroyed.
#pragma once
#include <windows.h>

constexpr UINT_PTR kTickTimer = 1;
constexpr UINT kTickMs = 500;
constexpr UINT WM_GPS_POSITION = 0x500;
constexpr UINT WM_GPS_SATELLITES = 0x501;
constexpr UINT WM_GPS_NMEA_TEXT = 0x507;

LRESULT CALLBACK MainWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Copies a second start's command line out of WM_COPYDATA into out (always terminated, cut
// to fit). Data of another kind, of an odd length or larger than the buffer is refused.
bool ReadCommandLineData(const COPYDATASTRUCT* data, wchar_t* out, size_t outChars);
