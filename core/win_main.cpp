// Program entry: a single instance; a second start hands its command line to the first.
#include <windows.h>

#include "core/app_settings.h"
#include "core/device_profile.h"
#include "core/htc_navigation.h"
#include "core/init_instance.h"
#include "core/message_loop.h"
#include "core/program_globals.h"
#include "core/resource_module.h"
#include "core/startup_hooks.h"
#include "platform/ui_seam.h"
#include "resources/resource.h"
#include "tours/tour_writer.h"

namespace {

void ShowRecordingPaused() {
    if (!ActiveTourWriter || !ActiveTourWriter->GetTour() || !GetDeviceProfile()->tour_pause())
        return;
    wchar_t text[256];
    LoadResString(IDS_RECORDING_PAUSED, text, 256);
    UiMessageBox(nullptr, text, ActiveTourWriter->GetTour()->name, MB_SETFOREGROUND);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int show) {
    g_programInstance = instance;
    SetResourceModule(instance);
    wchar_t className[kClassNameChars] = {};
    LoadResString(IDS_APP_CLASS, className, kClassNameChars);
    if (HWND running = FindWindowW(className, nullptr)) {
        HandOverCommandLine(running, commandLine);
        return 0;
    }

    InitProgramGlobals();
    CreateSingletons();
    g_startupFlag = 1;
    if (!InitInstance(instance, show, commandLine))
        return 0;
    SetForegroundWindow(g_mainWindow);
    ShowRecordingPaused();

    HACCEL accelerators = LoadAcceleratorsW(GetResourceModule(), MAKEINTRESOURCEW(IDA_MAIN));
    WPARAM result = RunMessageLoop(accelerators);
    CloseHtcNavigation();
    return static_cast<int>(result);
}
