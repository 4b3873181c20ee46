// The settings record and everything the program keeps under its registry key.
#pragma once
#include <windows.h>

#include <cstdint>
#include <optional>

class ManagerItem;
class Manager;

constexpr int kFolderEntries = 9;
constexpr int kFolderEntryChars = 128;
constexpr int kFolderListChars = 2048; // "Folders" value
constexpr int kGpsPortChars = 16;
constexpr int kLanguageCodeChars = 23;
constexpr float kClockOffsetUnset = 255.0f;
constexpr uint32_t kFirstStartMarker = 0x4017BFC3; // "cfg3" after installation

// Recording state of the current tour ("TourPoint", "Duration", "Distance").
struct TourState {
    uint32_t duration;
    uint32_t distance;
    uint32_t tourPoint;
};

class AppSettings {
public:
    // Plain construction: nothing here reaches other singletons or the registry, so that
    // GetAppSettings can hand out the record while its start-up set-up runs.
    AppSettings();
    ~AppSettings();
    AppSettings(const AppSettings&) = delete;
    AppSettings& operator=(const AppSettings&) = delete;

    // Device family choices, loading and the input method; run once after construction.
    void Start();

    bool HasStoredSettings();
    bool ReadInstallFlag() const;
    bool TakeInstallFlag() const;
    bool ReadGpsSyncTime() const;

    void SetFolderList(const wchar_t* list);
    void GetFolderList(wchar_t* out, size_t outChars) const;
    void EditFolderList(const wchar_t* path, int index);

    wchar_t dataFolder[256];
    wchar_t dataFolder2[256];
    wchar_t programFolder[256];
    wchar_t deviceFolderList[256];
    wchar_t backupPath[260];
    wchar_t gpsPort[kGpsPortChars];
    int32_t baudRate;
    int32_t firstFixStamp; // "cfg2"; -1 when unknown
    float clockOffset;     // hours; kClockOffsetUnset when not set
    int closePending;
    HWND closePendingWindow;
    int spare;
    wchar_t folders[kFolderEntries][kFolderEntryChars];
    int folderCount;
    uint32_t stateWords[3];
    std::optional<GUID> previousInputMethod; // restored at exit
    int settingsFound; // 2 before HasStoredSettings ran, then 0 (found) or 1 (not found)
    int startPage;     // first page of the settings sheet
};

// The settings of the run, constructed and loaded on first use.
AppSettings* GetAppSettings();
// The record when GetAppSettings has created it, else null.
AppSettings* FindAppSettings();

void LoadSettings(AppSettings* settings);
void SaveSettings(AppSettings* settings, int exportBackup);

// `path` may be null; receives "CurTour" without its extension.
void ReadCurrentTourState(wchar_t* path, size_t pathChars, TourState* state);
// Refreshes the settings backup file beside the program.
void ExportSettingsBackup();
void SaveCurrentTour(const wchar_t* path, const TourState* state);
void SaveTourState(const TourState* state); // null: all zero
void ReadSelectedTour();
void ReadSelectedMap();
// Buffers of 260 characters; missing values leave them unchanged.
void ReadPoiTourPaths(wchar_t* tourPath, wchar_t* poiPath);
void GetInstallDir(wchar_t* out, size_t outChars);
void DeleteSettingsSubkey(const wchar_t* subkey);
uint32_t RegisterTourFileType();
void SaveFolders();
void SaveCfgSlots(HWND listView);
void SaveWindowRect();
void RestoreWindowRect();
void ReadDestination();
void ReadMapViewState(int32_t* longitude, int32_t* latitude, int32_t* scale);
void SaveMapViewState(int32_t longitude, int32_t latitude, int32_t scale);
void SaveGpsPort();
void LoadTrackList(Manager* manager);
void StoreItemFlag(ManagerItem* item);
void RefreshTourItem(ManagerItem* item);
int SettingsReturnZero();
