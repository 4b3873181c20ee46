// Start-up of the first instance: the singletons, the main window and what lives as long as
// the program, the state of the previous run and the receiver.
#pragma once
#include <windows.h>

constexpr ULONG_PTR kCommandLineData = 0x3224; // WM_COPYDATA dwData of a second start
constexpr int kClassNameChars = 512;
constexpr DWORD kGpsOpenWaitMs = 10000; // longest wait for the receiver's open attempt

// Hands the command line to the running instance's window (brought to the front).
void HandOverCommandLine(HWND running, const wchar_t* commandLine);
// Creates the singletons in their order and loads the chosen language.
void CreateSingletons();
ATOM RegisterMainWindowClass(HINSTANCE instance, const wchar_t* className);
// 1 on success, 0 when the main window could not be created.
int InitInstance(HINSTANCE instance, int show, const wchar_t* commandLine);
// The selected tour and map, and the recording of the current tour ("CurTour") resumed.
void RestoreCurrentTour();
// Creates the receiver object when GPS use is on and it is not the first start after
// installation; keeps it only when its port opened.
void StartGpsReceiver(HWND owner);
