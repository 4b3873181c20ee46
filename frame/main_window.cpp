#include "frame/main_window.h"

#include "core/app_settings.h"
#include "core/command_line_file.h"
#include "core/device_profile.h"
#include "core/display_orientation.h"
#include "core/init_instance.h"
#include "core/message_loop.h"
#include "core/program_globals.h"
#include "core/startup_hooks.h"
#include "manager/manager.h"
#include "tours/tour_writer.h"

namespace {

// The orientation found at creation, set again at the end.
DWORD g_startOrientation = 0;

void OnCreate(HWND hwnd) {
    g_startOrientation = GetDisplayOrientation();
    g_mainWindow = hwnd;
    GetDeviceProfile()->mainWindow = hwnd;
    SetTimer(hwnd, kTickTimer, kTickMs, nullptr);
}

LRESULT OnCopyData(const COPYDATASTRUCT* data) {
    wchar_t path[kPathChars];
    if (!ReadCommandLineData(data, path, kPathChars))
        return FALSE;
    OpenCommandLineFile(path);
    return TRUE;
}

void OnTimer(HWND hwnd, UINT_PTR id) {
    if (id == kUnlockTimer) {
        KillTimer(hwnd, kUnlockTimer);
        g_unlockArmed = 0;
    }
}

void OnDestroy(HWND hwnd) {
    DeviceProfile* profile = GetDeviceProfile();
    KillTimer(hwnd, kTickTimer);
    HookSaveMapViewState();
    SaveSettings(GetAppSettings(), 1);
    delete ActiveTourWriter; // clears the pointer itself
    ActiveTourWriter = nullptr;
    HookCloseGps();
    delete g_managerRoot;
    g_managerRoot = nullptr;
    SetOrientation(profile, g_startOrientation, false);
    profile->Shutdown();
    if (profile->mnavdce_control())
        HookRestartNavigationProgram();
    profile->mainWindow = nullptr;
    g_mainWindow = nullptr;
    PostQuitMessage(0);
}

} // namespace

bool ReadCommandLineData(const COPYDATASTRUCT* data, wchar_t* out, size_t outChars) {
    if (!out || outChars == 0)
        return false;
    out[0] = 0;
    if (!data || data->dwData != kCommandLineData)
        return false;
    if (data->cbData == 0)
        return true;
    if (!data->lpData || data->cbData % sizeof(wchar_t) != 0 ||
        data->cbData > outChars * sizeof(wchar_t))
        return false;
    size_t chars = data->cbData / sizeof(wchar_t);
    const auto* text = static_cast<const wchar_t*>(data->lpData);
    size_t n = 0;
    for (; n < chars && n + 1 < outChars && text[n]; ++n)
        out[n] = text[n];
    out[n] = 0;
    return true;
}

LRESULT CALLBACK MainWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_CREATE:
        OnCreate(hwnd);
        return 0;
    case WM_COPYDATA:
        return OnCopyData(reinterpret_cast<const COPYDATASTRUCT*>(lParam));
    case WM_TIMER:
        OnTimer(hwnd, wParam);
        return 0;
    case WM_DESTROY:
        OnDestroy(hwnd);
        return 0;
    default:
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}
