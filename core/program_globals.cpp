#include "core/program_globals.h"

#include "platform/oem_info.h"

HINSTANCE g_programInstance = nullptr;
wchar_t g_oemInfo[kPathChars] = {};
wchar_t g_programFolder[kPathChars] = {};
HWND g_mainWindow = nullptr;
int g_startupFlag = 0;
int g_mapErrorsEnabled = 0;
int g_unlockArmed = 0;
HWND g_modelessDialog = nullptr;
double g_recordedDistance = 0.0;
int g_installConsent = 0;

bool CopyText(wchar_t* out, size_t outChars, const wchar_t* text) {
    if (!out || outChars == 0)
        return false;
    size_t n = 0;
    for (; text && text[n] && n + 1 < outChars; ++n)
        out[n] = text[n];
    out[n] = 0;
    return !text || text[n] == 0;
}

void ProgramFolderOf(const wchar_t* modulePath, wchar_t* out, size_t outChars) {
    CopyText(out, outChars, modulePath);
    wchar_t* slash = wcsrchr(out, L'\\');
    if (slash)
        slash[1] = 0;
    else if (outChars > 0)
        out[0] = 0;
}

void InitProgramGlobals() {
    GetOemInfo(g_oemInfo, kPathChars);
    wchar_t path[kPathChars] = {};
    DWORD n = GetModuleFileNameW(nullptr, path, kPathChars);
    if (n == 0 || n >= kPathChars)
        path[0] = 0; // a cut path would name a wrong folder
    ProgramFolderOf(path, g_programFolder, kPathChars);
}
