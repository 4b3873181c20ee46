#include "core/app_settings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/device_profile.h"
#include "core/language_module.h"
#include "gps/gps_instance.h"
#include "tests/core/settings_fixture.h"

namespace {

std::vector<std::wstring> Folders(const AppSettings& s) {
    std::vector<std::wstring> out;
    for (int i = 0; i < s.folderCount; ++i)
        out.push_back(s.folders[i]);
    return out;
}

std::wstring InstallDirNow() {
    wchar_t dir[kPathChars];
    GetInstallDir(dir, kPathChars);
    return dir;
}

TEST_F(SettingsTest, MissingValuesGiveTheDefaultSets) {
    StoreSettingsMarker(1234);
    LoadSettings(&settings);

    EXPECT_EQ(0xA3AF0030u, profile()->cfg1);
    EXPECT_EQ(0x00065800u, profile()->cfg4); // new colour 6, plan colour 5, destination name
    EXPECT_EQ(0x00008285u, profile()->cfg5);
    EXPECT_EQ(0x28000284u, profile()->cfg6);
    EXPECT_EQ(0x0000C810u, profile()->cfg7); // motor filter, 100 m, navigation sound
    EXPECT_EQ(0x56001E00u, profile()->cfg8); // dim after 30 s, bright 6, dim 5
    const uint32_t slots[] = {0x2D1, 0x2D2, 0x1E3, 0x8C4, 0x1E5, 0};
    for (int i = 0; i < kCfgSlotCount; ++i)
        EXPECT_EQ(slots[i], profile()->cfgSlots[i]) << "slot " << i;
    EXPECT_EQ(100, profile()->distanceFilter);
    EXPECT_EQ(1, profile()->topRow);
    EXPECT_EQ(1, profile()->bottomRow);
    EXPECT_STREQ(L"COM6:", settings.gpsPort);
    EXPECT_EQ(4800, settings.baudRate);
    EXPECT_STREQ(L"DEU", GetLanguageModule()->code);
    EXPECT_EQ(255.0f, settings.clockOffset);
    EXPECT_EQ(1234, settings.firstFixStamp);
    // No "Folders": the installation folder.
    EXPECT_EQ(std::vector<std::wstring>{InstallDirNow()}, Folders(settings));
}

TEST_F(SettingsTest, MissingKeyGivesEveryDefault) {
    profile()->cfg7 = 0x7; // kept by the cfg7 default set
    LoadSettings(&settings);

    EXPECT_EQ(1, settings.settingsFound);
    EXPECT_EQ(0xA3AF0030u, profile()->cfg1);
    EXPECT_EQ(0x0000C817u, profile()->cfg7);
    EXPECT_EQ(-1, settings.firstFixStamp);
    EXPECT_EQ((std::vector<std::wstring>{L"\\Storage Card", L"\\My Flash Disk\\Tarn-Wick"}),
              Folders(settings));
    EXPECT_FALSE(key.Exists()) << "loading never creates the key";
}

TEST_F(SettingsTest, StoredWordsAreClampedAndForced) {
    StoreSettingsMarker();
    key.SetDword(L"cfg1", 0x00000001);
    key.SetDword(L"cfg6", 0xFFFFFFFF);
    key.SetDword(L"cfg7", 0xFFFFFFFF);
    key.SetDword(L"cfg8", 0x79ABCDEF); // dim 7, bright 9
    key.SetDword(L"cfg12", 0x123);
    LoadSettings(&settings);

    EXPECT_EQ(0x00030001u, profile()->cfg1); // bits 16 and 17 always set
    EXPECT_EQ(1, StaticNavigationFlag.load());
    EXPECT_EQ(0x29FFFF84u, profile()->cfg6); // first parameter 4, third 20
    EXPECT_EQ(0xFFFFFFDFu, profile()->cfg7); // bit 5 cleared at every load
    EXPECT_EQ(5, profile()->disp_dim());
    EXPECT_EQ(6, profile()->disp_bright());
    EXPECT_EQ(0x00ABCDEFu, profile()->cfg8 & 0x00FFFFFFu);
    EXPECT_EQ(0x123u, profile()->cfgSlots[2]);
    EXPECT_EQ(0x2D1u, profile()->cfgSlots[0]);
}

TEST_F(SettingsTest, ActivityFilterSetsTheDistance) {
    struct Case {
        uint32_t filter;
        uint32_t metres;
        int expected;
    } cases[] = {
        {DeviceProfile::kFltMotor, 77, 77}, {DeviceProfile::kFltBike, 999, 50},
        {DeviceProfile::kFltHike, 999, 25}, {DeviceProfile::kFltFly, 300, 300},
        {DeviceProfile::kFltDist, 0, 0},
    };
    for (const Case& c : cases) {
        ResetProfileOptions(profile());
        key.SetDword(L"cfg7", (c.metres << 9) | (c.filter << 6));
        StoreSettingsMarker();
        LoadSettings(&settings);
        EXPECT_EQ(c.expected, profile()->distanceFilter) << "filter " << c.filter;
    }
}

TEST_F(SettingsTest, LanguageCodeFallsBackToGerman) {
    const struct {
        const wchar_t* stored;
        const wchar_t* expected;
    } cases[] = {
        {L"XYZ", L"DEU"}, {L"SWE", L"SWE"}, {L"", L""}, {L"deu", L"DEU"}, {nullptr, L"DEU"}};
    StoreSettingsMarker();
    for (const auto& c : cases) {
        if (c.stored)
            key.SetString(L"LAN", c.stored);
        else
            RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, key.path().c_str(), L"LAN");
        LoadSettings(&settings);
        EXPECT_STREQ(c.expected, GetLanguageModule()->code)
            << (c.stored ? std::string(c.stored, c.stored + wcslen(c.stored)) : "missing");
    }
}

TEST_F(SettingsTest, OverlongStringsAreCutAndTerminated) {
    StoreSettingsMarker();
    key.SetString(L"COM Port", L"\\\\.\\VERY-LONG-PORT-NAME-12345");
    key.SetString(L"LAN", std::wstring(40, L'D'));
    key.SetString(L"CurTour", L"\\Tours\\" + std::wstring(400, L'x') + L".TUR");
    settings.gpsPort[kGpsPortChars - 1] = L'#';
    LoadSettings(&settings);

    EXPECT_EQ(std::wstring(L"\\\\.\\VERY-LONG-P"), settings.gpsPort);
    EXPECT_STREQ(L"DEU", GetLanguageModule()->code);

    std::vector<wchar_t> path(kPathChars + 8, L'#');
    TourState state{};
    ReadCurrentTourState(path.data(), kPathChars, &state);
    EXPECT_EQ(size_t(kPathChars - 1), wcslen(path.data()));
    EXPECT_EQ(L'#', path[kPathChars]) << "nothing written past the buffer";
}

TEST_F(SettingsTest, ClockOffset) {
    StoreSettingsMarker();
    EXPECT_FALSE(settings.ReadGpsSyncTime());
    key.SetString(L"GPSSyncTime", L"2.500000");
    LoadSettings(&settings);
    EXPECT_FLOAT_EQ(2.5f, settings.clockOffset);
    EXPECT_TRUE(settings.ReadGpsSyncTime());
    key.SetString(L"GPSSyncTime", L"255.000000");
    EXPECT_FALSE(settings.ReadGpsSyncTime());
    key.SetString(L"GPSSyncTime", L"garbage");
    LoadSettings(&settings);
    EXPECT_EQ(255.0f, settings.clockOffset);
}

TEST_F(SettingsTest, SaveWritesWordsAndLoadReadsThemBack) {
    StoreSettingsMarker();
    LoadSettings(&settings);
    profile()->cfg1 = 0x83EF0018;
    profile()->cfg4 = 0x11;
    profile()->cfg5 = 0x22;
    profile()->cfg6 = 0x33;
    profile()->cfg7 = 0x44 << 9;
    profile()->cfg8 = 0x55;
    settings.clockOffset = 1.5f;
    GetLanguageModule()->SetCode(L"SWE");
    SaveSettings(&settings, 0);

    DWORD value = 0;
    ASSERT_TRUE(key.GetDword(L"cfg3", &value));
    EXPECT_EQ(0x83EF0018u, value) << "cfg3 holds a copy of cfg1";
    std::wstring text;
    ASSERT_TRUE(key.GetString(L"GPSSyncTime", &text));
    EXPECT_EQ(L"1.500000", text);
    ASSERT_TRUE(key.GetString(L"LAN", &text));
    EXPECT_EQ(L"SWE", text);

    ResetProfileOptions(profile());
    AppSettings reloaded;
    LoadSettings(&reloaded);
    EXPECT_EQ(0x83EF0018u, profile()->cfg1);
    EXPECT_EQ(0x11u, profile()->cfg4);
    EXPECT_EQ(0x22u, profile()->cfg5);
    EXPECT_EQ(0x44u, profile()->cfg7 >> 9);
    EXPECT_FLOAT_EQ(1.5f, reloaded.clockOffset);
}

TEST_F(SettingsTest, StoredSettingsStateAndInstallFlag) {
    EXPECT_EQ(2, settings.settingsFound);
    EXPECT_FALSE(settings.HasStoredSettings());
    EXPECT_EQ(1, settings.settingsFound);
    key.SetDword(L"Install", 1);
    EXPECT_FALSE(settings.HasStoredSettings()) << "a key without cfg2 holds no settings";
    StoreSettingsMarker();
    EXPECT_TRUE(settings.HasStoredSettings());
    EXPECT_EQ(0, settings.settingsFound);

    EXPECT_TRUE(settings.ReadInstallFlag());
    g_installConsent = 0;
    EXPECT_TRUE(settings.TakeInstallFlag());
    EXPECT_TRUE(settings.ReadInstallFlag()) << "kept without the user's consent";
    g_installConsent = 1;
    EXPECT_TRUE(settings.TakeInstallFlag());
    g_installConsent = 0;
    EXPECT_FALSE(settings.ReadInstallFlag());
}

TEST_F(SettingsTest, MapViewStateDefaultsAndScaleLimits) {
    int32_t lon = 0, lat = 0, scale = 0;
    ReadMapViewState(&lon, &lat, &scale);
    EXPECT_EQ(20204016, lon);
    EXPECT_EQ(84014881, lat);
    EXPECT_EQ(8600, scale);
    const struct {
        DWORD stored;
        int32_t expected;
    } cases[] = {{0, 8600},
                 {static_cast<DWORD>(-5), 8600},
                 {600000000, 500000000},
                 {500000000, 500000000},
                 {1, 1}};
    for (const auto& c : cases) {
        key.SetDword(L"scale", c.stored);
        ReadMapViewState(&lon, &lat, &scale);
        EXPECT_EQ(c.expected, scale) << c.stored;
    }
    SaveMapViewState(-1, 2, 3000);
    ReadMapViewState(&lon, &lat, &scale);
    EXPECT_EQ(-1, lon);
    EXPECT_EQ(2, lat);
    EXPECT_EQ(3000, scale);
}

TEST_F(SettingsTest, CurrentTourStateRoundTrip) {
    TourState state{};
    wchar_t path[kPathChars] = L"untouched";
    ReadCurrentTourState(path, kPathChars, &state);
    EXPECT_STREQ(L"", path);
    const TourState saved{11, 22, 33};
    SaveCurrentTour(L"\\My.Tours\\T2006-08-29.TUR", &saved);
    ReadCurrentTourState(path, kPathChars, &state);
    EXPECT_STREQ(L"\\My.Tours\\T2006-08-29", path);
    EXPECT_EQ(11u, state.duration);
    EXPECT_EQ(22u, state.distance);
    EXPECT_EQ(33u, state.tourPoint);
    SaveTourState(nullptr);
    ReadCurrentTourState(nullptr, 0, &state);
    EXPECT_EQ(0u, state.duration + state.distance + state.tourPoint);
}

TEST_F(SettingsTest, InstallDirAndSubkeys) {
    key.SetString(L"InsDir", L"\\Program Files\\Tarn-Wick\\");
    EXPECT_EQ(L"\\Program Files\\Tarn-Wick", InstallDirNow());

    key.SetDword(L"Visible", 1, L"Tour\\Alps");
    DeleteSettingsSubkey(L"Tour\\Alps");
    EXPECT_FALSE(key.Exists(L"Tour\\Alps"));
    DeleteSettingsSubkey(L"");
    DeleteSettingsSubkey(nullptr);
    EXPECT_TRUE(key.Exists()) << "an empty subkey name must not delete the settings";
}

TEST_F(SettingsTest, FolderListParsing) {
    const struct {
        const wchar_t* list;
        std::vector<std::wstring> entries;
    } cases[] = {
        {L" A ;B,C", {L"A ", L"B", L"C"}},
        {L"", {}},
        {L";;, ,", {}},
        {L"1;2;3;4;5;6;7;8;9;10", {L"1", L"2", L"3", L"4", L"5", L"6", L"7", L"8", L"9"}},
        {L"\\Storage Card\\My Maps", {L"\\Storage Card\\My Maps"}},
    };
    for (const auto& c : cases) {
        settings.SetFolderList(c.list);
        EXPECT_EQ(c.entries, Folders(settings));
    }
    settings.SetFolderList(L"A;B");
    wchar_t joined[64];
    settings.GetFolderList(joined, 64);
    EXPECT_STREQ(L"A;B", joined);
}

TEST_F(SettingsTest, OverlongFolderEntryIsCutToItsField) {
    std::wstring longName = L"\\" + std::wstring(300, L'm');
    settings.folders[1][0] = L'#';
    settings.SetFolderList((longName + L";\\B").c_str());
    ASSERT_EQ(2, settings.folderCount);
    EXPECT_EQ(longName.substr(0, kFolderEntryChars - 1), settings.folders[0]);
    EXPECT_STREQ(L"\\B", settings.folders[1]);
}

TEST_F(SettingsTest, EditFolderList) {
    const struct {
        const wchar_t* path;
        int index;
        const wchar_t* expected;
    } cases[] = {
        {L"\\C", -1, L"\\A;\\B;\\C"},   {L"\\A\\sub", -1, L"\\A;\\B"},     {L"\\a", -1, L"\\A;\\B"},
        {L"\\AB", -1, L"\\A;\\B;\\AB"}, {L"\\A\\sub", 5, L"\\A\\sub;\\B"}, {L"\\C", 1, L"\\A;\\C"},
        {L"\\C", 2, L"\\A;\\B;\\C"},    {L"\\b", 0, L"\\A;\\b"},
    };
    for (const auto& c : cases) {
        settings.SetFolderList(L"\\A;\\B");
        settings.EditFolderList(c.path, c.index);
        wchar_t joined[256];
        settings.GetFolderList(joined, 256);
        EXPECT_STREQ(c.expected, joined) << c.index;
    }
    settings.SetFolderList(L"");
    settings.EditFolderList(L"\\New", -1);
    EXPECT_EQ(std::vector<std::wstring>{L"\\New"}, Folders(settings));
}

TEST_F(SettingsTest, DeviceFolderListReplacesTheStoredOne) {
    StoreSettingsMarker();
    key.SetString(L"Folders", L"\\Stored");
    wcscpy(settings.deviceFolderList, L"\\Brisel SD Card\\Tarn-Wick;\\Brisel\\Tarn-Wick");
    LoadSettings(&settings);
    EXPECT_EQ((std::vector<std::wstring>{L"\\Brisel SD Card\\Tarn-Wick", L"\\Brisel\\Tarn-Wick"}),
              Folders(settings));
    wcscpy(settings.deviceFolderList, L"\\");
    LoadSettings(&settings);
    EXPECT_EQ(std::vector<std::wstring>{L"\\Stored"}, Folders(settings));
}

class WindowRectTest : public SettingsTest {
protected:
    WindowRectTest() {
        window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr,
                                 nullptr, nullptr);
        previous = profile()->mainWindow;
        profile()->mainWindow = window;
    }
    ~WindowRectTest() override {
        profile()->mainWindow = previous;
        DestroyWindow(window);
    }
    HWND window = nullptr;
    HWND previous = nullptr;
};

TEST_F(WindowRectTest, RestoreClampsToTheScreen) {
    int width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    int height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    const struct {
        std::wstring stored;
        RECT expected;
    } cases[] = {
        {L"(10,20,300,400)", {10, 20, 300, 400}},
        {L"(-5,-6,-1,-1)", {0, 0, 800, 480}},
        {L"(" + std::to_wstring(width) + L"," + std::to_wstring(height) + L",100,90)",
         {0, 0, 100, 90}},
        {L"(200,10,100,300)", {0, 10, 100, 300}},
        {L"(20,300,400,300)", {20, 0, 400, 300}},
    };
    for (const auto& c : cases) {
        SetWindowPos(window, nullptr, 1, 1, 50, 50, SWP_NOZORDER);
        key.SetString(L"Wnd", c.stored);
        RestoreWindowRect();
        RECT r{};
        GetWindowRect(window, &r);
        EXPECT_EQ(c.expected.left, r.left) << std::string(c.stored.begin(), c.stored.end());
        EXPECT_EQ(c.expected.top, r.top);
        EXPECT_EQ(c.expected.right, r.right);
        EXPECT_EQ(c.expected.bottom, r.bottom);
    }
    SetWindowPos(window, nullptr, 7, 8, 90, 60, SWP_NOZORDER);
    SaveWindowRect();
    std::wstring text;
    ASSERT_TRUE(key.GetString(L"Wnd", &text));
    EXPECT_EQ(L"(7,8,97,68)", text);
}

TEST_F(WindowRectTest, BadOrMissingValueLeavesTheWindow) {
    SetWindowPos(window, nullptr, 3, 4, 50, 50, SWP_NOZORDER);
    RestoreWindowRect();
    key.SetString(L"Wnd", L"(1,2,3)");
    RestoreWindowRect();
    key.SetString(L"Wnd", std::wstring(200, L'('));
    RestoreWindowRect();
    RECT r{};
    GetWindowRect(window, &r);
    EXPECT_EQ(3, r.left);
    EXPECT_EQ(4, r.top);
}

} // namespace

namespace {

TEST_F(SettingsTest, KeyWithoutSettingsIsRestoredFromTheBackupFirst) {
    StoreSettingsMarker(99);
    key.SetString(L"COM Port", L"COM3:");
    LoadSettings(&settings);
    profile()->set_cfg_gpsuse(true);
    SaveSettings(&settings, 1);
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, key.path().c_str());
    key.SetString(L"Folders", L"\\Left over"); // a key, but no settings in it

    ResetProfileOptions(profile());
    swprintf(settings.backupPath, 260, L"%lsTarn_Wick", g_programFolder);
    LoadSettings(&settings);
    EXPECT_STREQ(L"COM3:", settings.gpsPort);
    EXPECT_EQ(99, settings.firstFixStamp);
    EXPECT_TRUE(profile()->cfg_gpsuse());
}

} // namespace
