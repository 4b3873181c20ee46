// Calls from start-up, settings and shut-down into parts of the program that are built
// elsewhere: the device XML, the backlight,
// the receiver, tours, maps and the POI database. Each hook does the least its caller needs
// until the owning part provides the real operation.
#pragma once
#include <windows.h>

#include <cstdint>

class AppSettings;
class DeviceProfile;
class GPS;
class Manager;

// Receiver.
uint32_t HookGpsReceiverTimeStamp(); // 0 without a receiver object
GPS* HookCreateGps(const wchar_t* port, HWND owner, int baudRate);
bool HookGpsOpenAttempted(GPS* gps);
bool HookGpsPortOpen(GPS* gps);
void HookGpsSendSetup(GPS* gps, int staticNavigation);
void HookDeleteGps(GPS* gps);
// POI database, tours and maps.
void HookCreatePoiDatabase(HINSTANCE resources, HWND owner);
bool HookHasCurrentMapView();
class TourFixSource;
// The main window's shared fix snapshot, which recording reads; null without a receiver part.
TourFixSource* HookFixSource();
void HookSelectMapByName(const wchar_t* name);
bool HookCurrentMapName(wchar_t* out, size_t outChars);
bool HookImporterPaths(wchar_t* tourPath, wchar_t* poiPath); // 260 characters each
// Navigation view list column types; false when the view does not exist.
bool HookNavigationColumnTypes(int* types, int count);
// Shut-down of the main window.
void HookSaveMapViewState();
void HookCloseGps();
void HookRestartNavigationProgram();
// Manager items.
class ManagerItem;
void HookStoreItemFlag(ManagerItem* item);
// The calibration dialog's window when it asked to be closed (clearing the request); else null.
HWND HookTakeCalibrationClose();
void HookLoadStations();
void HookOpenTourFromCommandLine(const wchar_t* path);
void HookOpenMapFromCommandLine(const wchar_t* path);
