#include "core/init_instance.h"

#include <cwchar>
#include <memory>
#include <vector>

#include "core/app_settings.h"
#include "core/command_line_file.h"
#include "core/dev_cfg.h"
#include "core/device_profile.h"
#include "core/htc_navigation.h"
#include "core/language_module.h"
#include "core/process_utils.h"
#include "core/program_globals.h"
#include "core/registry_key.h"
#include "core/resource_module.h"
#include "core/startup_hooks.h"
#include "frame/main_window.h"
#include "geo/geo_options.h"
#include "gps/gps_instance.h"
#include "gps/gps_options.h"
#include "manager/manager.h"
#include "platform/ui_seam.h"
#include "resources/resource.h"
#include "tours/tour.h"
#include "tours/tour_segment_repair.h"
#include "tours/tour_writer.h"

namespace {

constexpr DWORD kGpsPollMs = 100;
GpsStartupOps g_gpsOps;

void ResumeRecording(const wchar_t* path) {
    ManagerItem* item = g_managerRoot->FindByPath(kListTours, path);
    if (!item)
        item = g_managerRoot->CreateTourItem(path);
    auto* tour = dynamic_cast<Tour*>(item);
    if (!tour)
        return;
    std::unique_ptr<TourWriter> writer = TourWriter::ForTour(HookFixSource(), tour);
    if (!writer || !writer->statistics.active || !writer->HasFile())
        return; // the file could not be opened: no recording
    TourSegmentRepair repair(tour);
    g_recordedDistance = static_cast<double>(writer->statistics.distance);
    ActiveTourWriter = writer.release();
}

} // namespace

void RestoreCurrentTour() {
    wchar_t path[kPathChars] = {};
    RegistryKey key;
    if (key.OpenProgram())
        key.ReadString(L"CurTour", path, kPathChars);
    key.Close();
    ReadSelectedTour();
    ReadSelectedMap();
    if (path[0])
        ResumeRecording(path);
}

void HandOverCommandLine(HWND running, const wchar_t* commandLine) {
    SetWindowPos(running, HWND_TOPMOST, 0, 0, 1, 1, SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW);
    ShowWindow(running, SW_SHOW);
    // Windows CE brings owned windows forward with the handle's lowest bit set; a desktop
    // handle must stay as it is.
    SetForegroundWindow(running);
    SetWindowPos(running, HWND_TOP, 0, 0, 1, 1, SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW);

    const wchar_t* text = commandLine ? commandLine : L"";
    COPYDATASTRUCT data{};
    data.dwData = kCommandLineData;
    data.cbData = text[0] ? static_cast<DWORD>((wcslen(text) + 1) * sizeof(wchar_t)) : 0;
    data.lpData = const_cast<wchar_t*>(text);
    SendMessageW(running, WM_COPYDATA, reinterpret_cast<WPARAM>(g_mainWindow),
                 reinterpret_cast<LPARAM>(&data));
}

void CreateSingletons() {
    GetAppSettings();
    GetDeviceProfile();
    GetDevCfg();
    GetLanguageModule()->LoadResourceDll();
    // Coordinate and unit texts follow the options and the language as they change.
    GeoOptionsSource source;
    source.cfg1 = [] { return GetDeviceProfile()->cfg1; };
    source.cfg4 = [] { return GetDeviceProfile()->cfg4; };
    source.eastLetter = [] { return GetLanguageModule()->eastLetter; };
    SetGeoOptionsSource(source);
    // The receiver reads its filter and receiver options afresh at every use.
    SetGpsOptionsSource([] {
        const DeviceProfile* profile = GetDeviceProfile();
        GpsOptions options;
        options.cfg1 = profile->cfg1;
        options.cfg4 = profile->cfg4;
        options.cfg5 = profile->cfg5;
        options.cfg6 = profile->cfg6;
        options.cfg7 = profile->cfg7;
        return options;
    });
}

ATOM RegisterMainWindowClass(HINSTANCE instance, const wchar_t* className) {
    WNDCLASSW wc{};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = MainWndProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_APP));
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = className;
    return RegisterClassW(&wc);
}

GpsStartupOps SetGpsStartupOpsForTesting(GpsStartupOps ops) {
    GpsStartupOps previous = std::move(g_gpsOps);
    g_gpsOps = std::move(ops);
    return previous;
}

void StartGpsReceiver(AppSettings* settings, HWND owner, DWORD waitLimitMs) {
    DeviceProfile* profile = GetDeviceProfile();
    if (!profile->cfg_gpsuse())
        return;
    if (GpsObjectPointer() || settings->ReadInstallFlag())
        return;
    GPS* gps = g_gpsOps.create ? g_gpsOps.create(settings->gpsPort, owner, settings->baudRate)
                               : HookCreateGps(settings->gpsPort, owner, settings->baudRate);
    if (!gps)
        return;
    ExchangeGpsObject(gps);
    // The reader thread records its open attempt; a thread that never does must not hang
    // the start: after the limit the port counts as not opened.
    bool attempted = false;
    for (DWORD waited = 0; waited < waitLimitMs; waited += kGpsPollMs) {
        attempted =
            g_gpsOps.openAttempted ? g_gpsOps.openAttempted(gps) : HookGpsOpenAttempted(gps);
        if (attempted)
            break;
        Sleep(kGpsPollMs);
    }
    bool open = attempted && (g_gpsOps.portOpen ? g_gpsOps.portOpen(gps) : HookGpsPortOpen(gps));
    if (open) {
        StaticNavigationFlag = static_cast<int32_t>(profile->cfg1 & 1u);
        if (g_gpsOps.sendSetup)
            g_gpsOps.sendSetup(gps, StaticNavigationFlag);
        else
            HookGpsSendSetup(gps, StaticNavigationFlag);
        return;
    }
    ExchangeGpsObject(nullptr);
    if (g_gpsOps.destroy)
        g_gpsOps.destroy(gps);
    else
        HookDeleteGps(gps);
}

int InitInstance(HINSTANCE instance, int show, const wchar_t* commandLine) {
    std::vector<wchar_t> className(kClassNameChars, 0);
    std::vector<wchar_t> title(kClassNameChars, 0);
    g_managerRoot = new Manager();
    HookCreatePoiDatabase(GetResourceModule(), g_mainWindow);

    LoadResString(IDS_APP_CLASS, className.data(), kClassNameChars);
    RegisterMainWindowClass(instance, className.data());
    LoadResString(IDS_APP_CLASS, title.data(), kClassNameChars);
    HWND window = CreateWindowExW(0, className.data(), title.data(), WS_VISIBLE | WS_CLIPCHILDREN,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                  nullptr, nullptr, instance, nullptr);
    if (!window) {
        wchar_t text[32];
        swprintf(text, 32, L"Error 0x%X", static_cast<unsigned>(GetLastError()));
        UiMessageBox(nullptr, text, L"Error", MB_SETFOREGROUND);
        return 0;
    }
    g_mainWindow = window;
    GetDeviceProfile()->mainWindow = window;

    OpenHtcNavigation(window);
    ShowWindow(window, show);
    UpdateWindow(window);

    g_managerRoot->Init(window);
    g_mapErrorsEnabled = 1;
    HookLoadStations();

    if (commandLine && *commandLine)
        OpenCommandLineFile(commandLine);
    RestoreCurrentTour();
    if (GetDeviceProfile()->mnavdce_control())
        TerminateProcessByName(L"mnavdce.exe");
    StartGpsReceiver(GetAppSettings(), window);
    return 1;
}
