#include "core/startup_hooks.h"

#include "core/device_profile.h"
#include "core/program_globals.h"

uint32_t HookGpsReceiverTimeStamp() {
    return 0;
}
GPS* HookCreateGps(const wchar_t*, HWND, int) {
    return nullptr;
}
bool HookGpsOpenAttempted(GPS*) {
    return true;
}
bool HookGpsPortOpen(GPS*) {
    return false;
}
void HookGpsSendSetup(GPS*, int) {}
void HookDeleteGps(GPS*) {}

void HookCreatePoiDatabase(HINSTANCE, HWND) {}
bool HookHasCurrentMapView() {
    return false;
}

TourFixSource* HookFixSource() {
    return nullptr;
}

void HookSelectMapByName(const wchar_t*) {}

bool HookCurrentMapName(wchar_t* out, size_t outChars) {
    CopyText(out, outChars, L"");
    return true;
}

bool HookImporterPaths(wchar_t*, wchar_t*) {
    return false;
}
bool HookNavigationColumnTypes(int*, int) {
    return false;
}
void HookSaveMapViewState() {}
void HookCloseGps() {}
void HookRestartNavigationProgram() {}

void HookStoreItemFlag(ManagerItem*) {}
HWND HookTakeCalibrationClose() {
    return nullptr;
}
void HookLoadStations() {}
void HookOpenTourFromCommandLine(const wchar_t*) {}
void HookOpenMapFromCommandLine(const wchar_t*) {}
