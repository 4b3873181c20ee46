// Single-value readers and writers of the program's registry key.
#include "core/app_settings.h"

#include <commctrl.h>

#include <cwchar>
#include <string>

#include "core/device_profile.h"
#include "core/path_utils.h"
#include "core/program_globals.h"
#include "core/registry_key.h"
#include "core/resource_module.h"
#include "core/settings_backup.h"
#include "core/startup_hooks.h"
#include "core/track_point.h"
#include "manager/manager.h"
#include "manager/ui_state.h"
#include "maps/manager_item.h"
#include "tours/tour.h"
#include "platform/program_key.h"
#include "resources/resource.h"

namespace {

constexpr int32_t kDefaultLongitude = 20204016; // radians x 10^8
constexpr int32_t kDefaultLatitude = 84014881;
constexpr int32_t kDefaultScale = 8600;
constexpr int32_t kMaxScale = 500000000;
constexpr int kWindowRectChars = 64;
constexpr int kTrackDateChars = 40;

bool FileReadable(const wchar_t* path) {
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    return true;
}

} // namespace

void ExportSettingsBackup() {
    // Without a known program folder there is no place for the file.
    if (!g_programFolder[0])
        return;
    SettingsBackupExport(std::wstring(g_programFolder) + kSettingsBackupName, false);
}

void ReadCurrentTourState(wchar_t* path, size_t pathChars, TourState* state) {
    if (path)
        CopyText(path, pathChars, L"");
    *state = TourState{};
    RegistryKey key;
    if (!key.OpenProgram())
        return;
    if (path && key.ReadString(L"CurTour", path, pathChars))
        StripExtension(path, path, pathChars); // in place; only the file name's own dot
    key.ReadDword(L"Duration", &state->duration);
    key.ReadDword(L"Distance", &state->distance);
    key.ReadDword(L"TourPoint", &state->tourPoint);
}

void SaveCurrentTour(const wchar_t* path, const TourState* state) {
    {
        RegistryKey key;
        if (key.CreateProgram())
            key.WriteString(L"CurTour", path);
    }
    SaveTourState(state);
    ExportSettingsBackup();
}

void SaveTourState(const TourState* state) {
    RegistryKey key;
    if (!key.CreateProgram())
        return;
    key.WriteDword(L"TourPoint", state ? state->tourPoint : 0);
    key.WriteDword(L"Duration", state ? state->duration : 0);
    key.WriteDword(L"Distance", state ? state->distance : 0);
}

void ReadSelectedTour() {
    RegistryKey key;
    if (!key.OpenProgram() || !g_managerRoot)
        return;
    wchar_t name[kPathChars] = {};
    key.ReadString(L"SelTour", name, kPathChars);
    ManagerItem* item = g_managerRoot->FindByName(kListTours, name);
    if (!item)
        item = g_managerRoot->FindByName(kListPois, name);
    UIState* state = GetUIState();
    state->SelectTour(item, 0);
    if (item && GetDeviceProfile()->tools_dest()) {
        TrackPoint position;
        InitTrackPoint(&position);
        state->SetDestinationItem(&position, item, 0);
    }
}

void ReadSelectedMap() {
    RegistryKey key;
    wchar_t name[kPathChars] = {};
    if (key.OpenProgram())
        key.ReadString(L"SelMap", name, kPathChars);
    HookSelectMapByName(name);
}

void ReadPoiTourPaths(wchar_t* tourPath, wchar_t* poiPath) {
    RegistryKey key;
    if (!key.OpenProgram())
        return;
    key.ReadString(L"TPath", tourPath, kPathChars);
    key.ReadString(L"PPath", poiPath, kPathChars);
}

void GetInstallDir(wchar_t* out, size_t outChars) {
    RegistryKey key;
    if (!key.OpenProgram() || !key.ReadString(L"InsDir", out, outChars))
        CopyText(out, outChars, g_programFolder);
    size_t n = wcslen(out);
    if (n > 0 && out[n - 1] == L'\\')
        out[n - 1] = 0;
}

void DeleteSettingsSubkey(const wchar_t* subkey) {
    // An empty name would take the whole settings key with it.
    if (!subkey || !*subkey)
        return;
    std::wstring path = ProgramKeyPath();
    path += L"\\";
    path += subkey;
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, path.c_str());
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, path.c_str());
}

uint32_t RegisterTourFileType() {
    uint32_t stamp = HookGpsReceiverTimeStamp();
    {
        RegistryKey key;
        if (key.CreateProgram())
            key.WriteDword(L"cfg2", stamp);
        RegistryKey tur;
        if (tur.Create(HKEY_CLASSES_ROOT, L".tur")) {
            tur.WriteString(nullptr, L"turfile");
            tur.WriteString(L"Content Type", L"map/tour");
        }
    }
    ExportSettingsBackup();
    return stamp;
}

void SaveFolders() {
    wchar_t list[kFolderListChars];
    GetAppSettings()->GetFolderList(list, kFolderListChars);
    {
        RegistryKey key;
        if (key.CreateProgram())
            key.WriteString(L"Folders", list);
    }
    ExportSettingsBackup();
}

void SaveCfgSlots(HWND listView) {
    int types[kCfgSlotCount] = {};
    if (!HookNavigationColumnTypes(types, kCfgSlotCount))
        return;
    int count = 0;
    for (; count < kCfgSlotCount; ++count) {
        LVCOLUMNW column{};
        column.mask = LVCF_WIDTH;
        if (!SendMessageW(listView, LVM_GETCOLUMNW, count, reinterpret_cast<LPARAM>(&column)))
            break;
    }
    int order[kCfgSlotCount] = {};
    if (count == 0 ||
        !SendMessageW(listView, LVM_GETCOLUMNORDERARRAY, count, reinterpret_cast<LPARAM>(order)))
        return;
    DeviceProfile* profile = GetDeviceProfile();
    RegistryKey key;
    key.CreateProgram();
    for (int slot = 0; slot < count; ++slot) {
        int column = order[slot];
        uint32_t type = column >= 0 && column < kCfgSlotCount ? types[column] & 0xF : 0;
        auto width = static_cast<uint32_t>(SendMessageW(listView, LVM_GETCOLUMNWIDTH, column, 0));
        profile->cfgSlots[slot] = type | ((width & 0xFFF) << 4);
        wchar_t name[16];
        swprintf(name, 16, L"cfg%d", slot + 10);
        key.WriteDword(name, profile->cfgSlots[slot]);
    }
}

void SaveWindowRect() {
    HWND window = GetDeviceProfile()->mainWindow;
    RECT rect{};
    if (!window || !GetWindowRect(window, &rect))
        return;
    wchar_t text[kWindowRectChars];
    swprintf(text, kWindowRectChars, L"(%d,%d,%d,%d)", static_cast<int>(rect.left),
             static_cast<int>(rect.top), static_cast<int>(rect.right),
             static_cast<int>(rect.bottom));
    RegistryKey key;
    if (key.CreateProgram())
        key.WriteString(L"Wnd", text);
}

void RestoreWindowRect() {
    RegistryKey key;
    wchar_t text[kWindowRectChars] = {};
    if (!key.OpenProgram() || !key.ReadString(L"Wnd", text, kWindowRectChars))
        return;
    int left = 0, top = 0, right = 0, bottom = 0;
    if (swscanf(text, L"(%d,%d,%d,%d)", &left, &top, &right, &bottom) != 4)
        return;
    int width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    int height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    if (left < 0 || left >= width)
        left = 0;
    if (top < 0 || top >= height)
        top = 0;
    if (right < 0)
        right = 800;
    if (bottom < 0)
        bottom = 480;
    if (left >= right)
        left = 0;
    if (top >= bottom)
        top = 0;
    SetWindowPos(GetDeviceProfile()->mainWindow, nullptr, left, top, right - left, bottom - top,
                 SWP_NOZORDER);
}

void ReadDestination() {
    RegistryKey key;
    if (!key.OpenProgram())
        return;
    UIState* state = GetUIState();
    uint32_t value = 0;
    if (key.ReadDword(L"DestLon", &value))
        state->destinationLongitude = static_cast<int32_t>(value);
    if (key.ReadDword(L"DestLat", &value))
        state->destinationLatitude = static_cast<int32_t>(value);
}

void ReadMapViewState(int32_t* longitude, int32_t* latitude, int32_t* scale) {
    *longitude = kDefaultLongitude;
    *latitude = kDefaultLatitude;
    *scale = kDefaultScale;
    RegistryKey key;
    if (!key.OpenProgram())
        return;
    uint32_t value = 0;
    if (key.ReadDword(L"longitude", &value))
        *longitude = static_cast<int32_t>(value);
    if (key.ReadDword(L"latitude", &value))
        *latitude = static_cast<int32_t>(value);
    if (key.ReadDword(L"scale", &value))
        *scale = static_cast<int32_t>(value);
    if (*scale <= 0)
        *scale = kDefaultScale;
    if (*scale > kMaxScale)
        *scale = kMaxScale;
}

void SaveMapViewState(int32_t longitude, int32_t latitude, int32_t scale) {
    RegistryKey key;
    if (!key.CreateProgram())
        return;
    key.WriteDword(L"longitude", static_cast<uint32_t>(longitude));
    key.WriteDword(L"latitude", static_cast<uint32_t>(latitude));
    key.WriteDword(L"scale", static_cast<uint32_t>(scale));
    key.WriteDword(L"cfg4", GetDeviceProfile()->cfg4);
    wchar_t name[kPathChars] = {};
    if (HookCurrentMapName(name, kPathChars))
        key.WriteString(L"SelMap", name);
}

void SaveGpsPort() {
    AppSettings* settings = GetAppSettings();
    RegistryKey key;
    if (!key.CreateProgram())
        return;
    key.WriteString(L"COM Port", settings->gpsPort);
    key.WriteDword(L"Baudrate", static_cast<uint32_t>(settings->baudRate));
}

void LoadTrackList(Manager* manager) {
    wchar_t subkey[64] = {};
    LoadResString(IDS_TOUR_SUBKEY, subkey, 64);
    RegistryKey list;
    if (!list.OpenProgram(subkey))
        return;
    for (DWORD index = 0;; ++index) {
        wchar_t name[kPathChars];
        DWORD nameChars = kPathChars;
        LONG rc = RegEnumKeyExW(list.handle(), index, name, &nameChars, nullptr, nullptr, nullptr,
                                nullptr);
        if (rc == ERROR_MORE_DATA)
            continue; // a name longer than any path cannot name a tour
        if (rc != ERROR_SUCCESS)
            break;
        RegistryKey entry;
        if (!entry.Open(list.handle(), name))
            continue;
        wchar_t fileName[kPathChars] = {};
        wchar_t date[kTrackDateChars] = {};
        uint32_t visible = 0;
        uint32_t colour = 0;
        entry.ReadString(L"Filename", fileName, kPathChars);
        entry.ReadString(L"Date", date, kTrackDateChars);
        entry.ReadDword(L"Visible", &visible);
        entry.ReadDword(L"Colour", &colour);
        ManagerItem* item = manager->FindByName(kListTours, name);
        if (!item) {
            auto* tour = new Tour(name, fileName);
            tour->SetDateText(date);
            tour->visible = static_cast<uint8_t>(visible);
            tour->SetVisible(static_cast<uint8_t>(visible), false);
            tour->SetColour(colour);
            tour->file = INVALID_HANDLE_VALUE;
            manager->AddItemAtHead(tour);
            item = tour;
        }
        // The word after the opened flag tells whether the item's file is there.
        item->reserved = FileReadable(fileName) ? 1 : 0;
    }
}

void StoreItemFlag(ManagerItem* item) {
    // Names outside "0" to "z" are the program's own entries, which have no file of their own.
    if (!item || item->name[0] < L'0' || item->name[0] > L'z')
        return;
    HookStoreItemFlag(item);
}

void RefreshTourItem(ManagerItem* item) {
    auto* tour = dynamic_cast<Tour*>(item);
    if (tour && tour->ReadProperties(false))
        tour->WriteProperties(true, false);
}

int SettingsReturnZero() {
    return 0;
}
