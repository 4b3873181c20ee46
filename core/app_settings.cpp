#include "core/app_settings.h"

#include <cwchar>
#include <cwctype>
#include <cstdlib>
#include <string>

#include "core/device_profile.h"
#include "core/input_method.h"
#include "core/language_module.h"
#include "core/program_globals.h"
#include "core/registry_key.h"
#include "core/resource_module.h"
#include "core/settings_backup.h"
#include "core/startup_hooks.h"
#include "gps/gps_instance.h"
#include "manager/ui_state.h"
#include "maps/manager_item.h"
#include "resources/resource.h"

namespace {

const wchar_t kBriselOem[] = L"N_HH_BRISEL";
const wchar_t kBriselFolders[] = L"\\Brisel SD Card\\Tarn-Wick;\\Brisel\\Tarn-Wick";
const wchar_t kBriselInstaller[] = L"\\Brisel SD Card\\-installer.exe";
const wchar_t kBriselOldFolder[] = L"\\Brisel SD Card\\TKBrisel";
const wchar_t kDefaultPort[] = L"COM6:";
constexpr int kDefaultBaudRate = 4800;

void DeleteTree(const wchar_t* folder) {
    wchar_t pattern[kPathChars + 4];
    if (swprintf(pattern, kPathChars + 4, L"%ls\\*.*", folder) < 0)
        return;
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW(pattern, &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if (wcscmp(found.cFileName, L".") == 0 || wcscmp(found.cFileName, L"..") == 0)
                continue;
            wchar_t child[kPathChars];
            if (swprintf(child, kPathChars, L"%ls\\%ls", folder, found.cFileName) < 0)
                continue;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                DeleteTree(child);
            else
                DeleteFileW(child);
        } while (FindNextFileW(find, &found));
        FindClose(find);
    }
    RemoveDirectoryW(folder);
}

void ApplyOptionDefaults(DeviceProfile* profile) {
    profile->SetDefaultCfg1();
    profile->SetDefaultCfg4();
    profile->SetDefaultCfg5();
    profile->SetDefaultCfg6();
    profile->SetDefaultCfg7();
    profile->SetDefaultCfg8();
    for (int slot = 0; slot < kCfgSlotCount; ++slot)
        profile->SetDefaultCfgSlot(slot);
}

void ReadOption(const RegistryKey& key, const wchar_t* name, uint32_t* word, DeviceProfile* profile,
                void (DeviceProfile::*setDefault)()) {
    if (!key.ReadDword(name, word))
        (profile->*setDefault)();
}

void LoadLanguageCode(const RegistryKey& key) {
    wchar_t code[kLanguageCodeChars] = {};
    if (!key.ReadString(L"LAN", code, kLanguageCodeChars) || !IsKnownLanguageCode(code))
        CopyText(code, kLanguageCodeChars, L"DEU");
    GetLanguageModule()->SetCode(code);
}

void LoadActivityFilter(const RegistryKey& key, DeviceProfile* profile) {
    if (!key.ReadDword(L"cfg7", &profile->cfg7)) {
        profile->SetDefaultCfg7();
        return;
    }
    switch (profile->activity_filter()) {
    case DeviceProfile::kFltBike:
        profile->distanceFilter = 50;
        break;
    case DeviceProfile::kFltHike:
        profile->distanceFilter = 25;
        break;
    default:
        profile->distanceFilter = profile->filter_distance();
        break;
    }
}

void LoadBacklightLevels(const RegistryKey& key, DeviceProfile* profile) {
    if (!key.ReadDword(L"cfg8", &profile->cfg8)) {
        profile->SetDefaultCfg8();
        return;
    }
    if (profile->disp_bright() > 6)
        profile->set_disp_bright(6);
    if (profile->disp_dim() > 5)
        profile->set_disp_dim(5);
}

// The first start after installation: set up the file type and display defaults once.
void FirstStartSetup(AppSettings* settings, DeviceProfile* profile) {
    profile->cfg1 &= ~(1u << 22);
    RegistryKey tur;
    if (tur.Open(HKEY_CLASSES_ROOT, L".tur"))
        return;
    RegisterTourFileType();
    profile->SetDefaultOptions();
    profile->cfg1 &= ~(1u << 22);
    SaveSettings(settings, 1);
}

void LoadFromKey(AppSettings* settings, const RegistryKey& key, DeviceProfile* profile) {
    wchar_t list[kFolderListChars] = {};
    if (!key.ReadString(L"Folders", list, kFolderListChars))
        GetInstallDir(list, kFolderListChars);
    settings->SetFolderList(list);

    CopyText(settings->gpsPort, kGpsPortChars, kDefaultPort);
    key.ReadString(L"COM Port", settings->gpsPort, kGpsPortChars);
    uint32_t baud = kDefaultBaudRate;
    key.ReadDword(L"Baudrate", &baud);
    settings->baudRate = static_cast<int32_t>(baud);

    LoadLanguageCode(key);

    settings->clockOffset = kClockOffsetUnset;
    wchar_t text[64] = {};
    if (key.ReadString(L"GPSSyncTime", text, 64)) {
        wchar_t* end = nullptr;
        double value = wcstod(text, &end);
        if (end != text)
            settings->clockOffset = static_cast<float>(value);
    }

    ReadOption(key, L"cfg1", &profile->cfg1, profile, &DeviceProfile::SetDefaultCfg1);
    ReadOption(key, L"cfg4", &profile->cfg4, profile, &DeviceProfile::SetDefaultCfg4);
    ReadOption(key, L"cfg5", &profile->cfg5, profile, &DeviceProfile::SetDefaultCfg5);
    ReadOption(key, L"cfg6", &profile->cfg6, profile, &DeviceProfile::SetDefaultCfg6);
    profile->cfg6 = WithField(profile->cfg6, 0, 7, 4);
    LoadActivityFilter(key, profile);
    profile->cfg7 &= ~(1u << 5);
    LoadBacklightLevels(key, profile);
    for (int slot = 0; slot < kCfgSlotCount; ++slot) {
        wchar_t name[16];
        swprintf(name, 16, L"cfg%d", slot + 10);
        if (!key.ReadDword(name, &profile->cfgSlots[slot]))
            profile->SetDefaultCfgSlot(slot);
    }
    profile->cfg6 = WithField(profile->cfg6, 25, 7, 20);
    StaticNavigationFlag = static_cast<int32_t>(profile->cfg1 & 1u);

    uint32_t cfg3 = 0;
    if (!key.ReadDword(L"cfg3", &cfg3))
        settings->firstFixStamp = -1;
    else if (cfg3 == kFirstStartMarker)
        FirstStartSetup(settings, profile);
    uint32_t cfg2 = 0;
    settings->firstFixStamp = key.ReadDword(L"cfg2", &cfg2) ? static_cast<int32_t>(cfg2) : -1;
}

bool IsFolderSeparator(wchar_t c) {
    return c == L',' || c == L';';
}

} // namespace

AppSettings::AppSettings()
    : dataFolder{}, dataFolder2{}, programFolder{}, deviceFolderList{}, backupPath{}, gpsPort{},
      baudRate(kDefaultBaudRate), firstFixStamp(0), clockOffset(kClockOffsetUnset), closePending(0),
      closePendingWindow(nullptr), spare(0), folders{}, folderCount(0), stateWords{},
      previousInputMethod(), settingsFound(2), startPage(0) {
    CopyText(gpsPort, kGpsPortChars, kDefaultPort);
}

AppSettings::~AppSettings() {
    if (previousInputMethod) {
        GUID previous = *previousInputMethod;
        SelectKeypadInputMethod(static_cast<std::optional<GUID>*>(nullptr), &previous);
    }
}

void AppSettings::Start() {
    DeviceProfile* profile = GetDeviceProfile();
    if (OemNameIs(g_oemInfo, kBriselOem)) {
        profile->set_cfg_gpsuse(true);
        profile->set_mnavdce_control(false);
        if (DeleteFileW(kBriselInstaller))
            DeleteTree(kBriselOldFolder);
        CopyText(deviceFolderList, 256, kBriselFolders);
    } else {
        CopyText(deviceFolderList, 256, L"\\");
    }
    for (auto& entry : folders)
        entry[0] = 0;
    folderCount = 0;
    if (swprintf(backupPath, 260, L"%lsTarn_Wick", g_programFolder) < 0)
        backupPath[0] = 0;
    LoadSettings(this);
    profile->cfg7 &= ~(1u << 2);
    CopyText(dataFolder, 256, folders[0]);
    CopyText(dataFolder2, 256, folders[0]);
    CopyText(programFolder, 256, g_programFolder);
    RegisterKeypadInputMethod(g_programFolder);
    SelectKeypadInputMethod(&previousInputMethod, &kKeypadInputMethod);
}

namespace {
AppSettings* g_settings = nullptr;
}

AppSettings* GetAppSettings() {
    // Constructed plainly, then started: the start-up set-up reaches code that asks for the
    // settings again, which then gets this same record.
    static AppSettings settings;
    if (!g_settings) {
        g_settings = &settings;
        settings.Start();
    }
    return &settings;
}

AppSettings* FindAppSettings() {
    return g_settings;
}

void LoadSettings(AppSettings* settings) {
    DeviceProfile* profile = GetDeviceProfile();
    if (!settings->HasStoredSettings())
        SettingsBackupImport(settings->backupPath, false);
    RegistryKey key;
    if (key.OpenProgram()) {
        LoadFromKey(settings, key, profile);
        key.Close();
    } else {
        ApplyOptionDefaults(profile);
        CopyText(settings->gpsPort, kGpsPortChars, kDefaultPort);
        settings->baudRate = kDefaultBaudRate;
        settings->firstFixStamp = -1;
        wchar_t list[kFolderListChars] = {};
        LoadResString(IDS_DEFAULT_FOLDERS, list, kFolderListChars);
        settings->SetFolderList(list);
    }
    profile->cfg1 |= (1u << 16) | (1u << 17);
    profile->topRow = profile->cfg_toprow() ? 1 : 0;
    profile->bottomRow = profile->cfg_bottomrow() ? 1 : 0;
    if (_wcsicmp(settings->deviceFolderList, L"\\") != 0 && settings->deviceFolderList[0])
        settings->SetFolderList(settings->deviceFolderList);
}

void SaveSettings(AppSettings* settings, int exportBackup) {
    DeviceProfile* profile = GetDeviceProfile();
    RegistryKey key;
    if (key.CreateProgram()) {
        wchar_t text[64];
        swprintf(text, 64, L"%f", static_cast<double>(settings->clockOffset));
        key.WriteString(L"GPSSyncTime", text);
        key.WriteDword(L"cfg1", profile->cfg1);
        key.WriteDword(L"cfg8", profile->cfg8);
        key.WriteDword(L"cfg7", profile->cfg7);
        key.WriteDword(L"cfg6", profile->cfg6);
        key.WriteDword(L"cfg5", profile->cfg5);
        key.WriteDword(L"cfg4", profile->cfg4);
        key.WriteDword(L"cfg3", profile->cfg1);
        key.WriteString(L"LAN", GetLanguageModule()->code);
        ManagerItem* selected = GetUIState()->selectedTour;
        key.WriteString(L"SelTour", selected ? selected->name : L"");
        wchar_t tourPath[kPathChars] = {};
        wchar_t poiPath[kPathChars] = {};
        // Without an importer the stored folders stay as they are.
        if (HookImporterPaths(tourPath, poiPath)) {
            key.WriteString(L"TPath", tourPath);
            key.WriteString(L"PPath", poiPath);
        }
    }
    if (exportBackup)
        ExportSettingsBackup();
}

bool AppSettings::HasStoredSettings() {
    RegistryKey key;
    uint32_t value = 0;
    bool found = key.OpenProgram() && key.ReadDword(L"cfg2", &value);
    settingsFound = found ? 0 : 1;
    return found;
}

bool AppSettings::ReadInstallFlag() const {
    RegistryKey key;
    uint32_t value = 0;
    return key.OpenProgram() && key.ReadDword(L"Install", &value);
}

bool AppSettings::TakeInstallFlag() const {
    if (!ReadInstallFlag())
        return false;
    if (g_installConsent) {
        RegistryKey key;
        if (key.CreateProgram())
            key.DeleteValue(L"Install");
    }
    return true;
}

bool AppSettings::ReadGpsSyncTime() const {
    RegistryKey key;
    wchar_t text[64] = {};
    if (!key.OpenProgram() || !key.ReadString(L"GPSSyncTime", text, 64))
        return false;
    wchar_t* end = nullptr;
    double value = wcstod(text, &end);
    return end != text && value < kClockOffsetUnset;
}

void AppSettings::SetFolderList(const wchar_t* list) {
    for (auto& entry : folders)
        entry[0] = 0;
    folderCount = 0;
    const wchar_t* p = list ? list : L"";
    while (*p && folderCount < kFolderEntries) {
        while (*p && (IsFolderSeparator(*p) || *p == L' '))
            ++p;
        if (!*p)
            break;
        // An entry longer than its field is cut to fit; the rest of it is passed over.
        wchar_t* entry = folders[folderCount];
        int n = 0;
        for (; *p && !IsFolderSeparator(*p); ++p) {
            if (n + 1 < kFolderEntryChars)
                entry[n++] = *p;
        }
        entry[n] = 0;
        if (n > 0)
            ++folderCount;
    }
}

void AppSettings::GetFolderList(wchar_t* out, size_t outChars) const {
    std::wstring joined = folders[0];
    for (int i = 1; i < kFolderEntries; ++i) {
        if (folders[i][0]) {
            joined += L";";
            joined += folders[i];
        }
    }
    CopyText(out, outChars, joined.c_str());
}

void AppSettings::EditFolderList(const wchar_t* path, int index) {
    if (!path || !*path)
        return;
    size_t pathLength = wcslen(path);
    int match = -1;
    for (int i = 0; i < folderCount && match < 0; ++i) {
        size_t n = wcslen(folders[i]);
        if (n == 0)
            continue;
        if (_wcsicmp(folders[i], path) == 0 ||
            (pathLength > n && _wcsnicmp(folders[i], path, n) == 0 && path[n] == L'\\'))
            match = i;
    }
    if (index < 0 && match >= 0)
        return;
    wchar_t joined[kFolderEntries * (kFolderEntryChars + 1) + 1];
    int replace = match >= 0 ? match : (index >= 0 && index < folderCount ? index : -1);
    if (replace >= 0) {
        CopyText(folders[replace], kFolderEntryChars, path);
        GetFolderList(joined, sizeof(joined) / sizeof(joined[0]));
        SetFolderList(joined);
        return;
    }
    GetFolderList(joined, sizeof(joined) / sizeof(joined[0]));
    std::wstring list = joined;
    list += L";";
    list += path;
    SetFolderList(list.c_str());
}
