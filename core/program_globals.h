// Process-wide values set at start-up and read throughout the program.
#pragma once
#include <windows.h>

class GPS;

constexpr int kPathChars = 260;

extern HINSTANCE g_programInstance;
extern wchar_t g_oemInfo[kPathChars];
extern wchar_t g_programFolder[kPathChars]; // ends with a backslash (empty when unknown)
extern HWND g_mainWindow;
extern int g_startupFlag;      // 1 until the first position update
extern int g_mapErrorsEnabled; // map open errors are shown only after the first scan
extern int g_unlockArmed;      // a lower-left tap armed the screen unlock
extern HWND g_modelessDialog;  // current modeless dialog of the message loop
extern double g_recordedDistance;
extern int g_installConsent; // set by the first-start dialog; "Install" is deleted only then

// Reads the OEM string and the program folder (own module path cut after its last backslash).
void InitProgramGlobals();
// The program folder for a module path; empty when the path has no backslash.
void ProgramFolderOf(const wchar_t* modulePath, wchar_t* out, size_t outChars);

// Copies at most outChars - 1 characters and always terminates; returns false when cut.
bool CopyText(wchar_t* out, size_t outChars, const wchar_t* text);
