// Start-up of the first instance: the singletons, the main window and what lives as long as
// the program, the state of the previous run and the receiver.
#pragma once
#include <windows.h>

#include <functional>

class AppSettings;
class GPS;

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
// Waits at most waitLimitMs for the receiver's open attempt.
void StartGpsReceiver(AppSettings* settings, HWND owner, DWORD waitLimitMs = kGpsOpenWaitMs);

// The receiver calls of start-up; tests replace them (an empty member keeps the real call).
struct GpsStartupOps {
    std::function<GPS*(const wchar_t* port, HWND owner, int baudRate)> create;
    std::function<bool(GPS*)> openAttempted;
    std::function<bool(GPS*)> portOpen;
    std::function<void(GPS*, int staticNavigation)> sendSetup;
    std::function<void(GPS*)> destroy;
};
GpsStartupOps SetGpsStartupOpsForTesting(GpsStartupOps ops);
