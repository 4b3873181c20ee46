#include "core/message_loop.h"

#include "core/app_settings.h"
#include "core/backlight.h"
#include "core/device_profile.h"
#include "core/program_globals.h"
#include "core/startup_hooks.h"
#include "manager/ui_state.h"

namespace {

bool IsInputMessage(UINT message) {
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
    case WM_HSCROLL:
    case WM_VSCROLL:
        return true;
    default:
        return false;
    }
}

void WakeToBright(DeviceProfile* profile) {
    profile->inputSeen = 1;
    SetBacklight(profile, profile->disp_bright(), true);
}

void WakeUp(const MSG& msg, DeviceProfile* profile) {
    bool key = msg.message == WM_KEYDOWN || msg.message == WM_KEYUP;
    if (!key && !IsInputMessage(msg.message))
        return;
    if (!key && profile->disp_lock() && profile->backlightLevel != profile->disp_bright())
        return;
    if (profile->backlightLevel == profile->disp_dim())
        WakeToBright(profile);
}

void CornerTaps(const MSG& msg, DeviceProfile* profile) {
    if (msg.message != WM_LBUTTONDOWN || !ScreenLockActive())
        return;
    int x = static_cast<short>(LOWORD(msg.lParam));
    int y = static_cast<short>(HIWORD(msg.lParam));
    RECT client{};
    GetClientRect(msg.hwnd, &client);
    int corner = kCornerSize * profile->scale;
    bool bottom = y > client.bottom - corner;
    if (x < corner && bottom) {
        g_unlockArmed = 1;
        SetTimer(profile->mainWindow, kUnlockTimer, kUnlockTimerMs, nullptr);
        return;
    }
    if (x > client.right - corner && bottom && g_unlockArmed)
        WakeToBright(profile);
}

bool PassesLock(UINT message) {
    return message >= WM_USER || message == WM_TIMER || message == WM_PAINT;
}

void Dispatch(MSG* msg, HACCEL accelerators) {
    if (g_modelessDialog && IsDialogMessageW(g_modelessDialog, msg))
        return;
    if (accelerators && TranslateAcceleratorW(msg->hwnd, accelerators, msg))
        return;
    if (ScreenLockActive() && !PassesLock(msg->message))
        return;
    TranslateMessage(msg);
    DispatchMessageW(msg);
}

void DeferredCloses() {
    UIState* state = GetUIState();
    if (state->closePending) {
        state->closePending = 0;
        DestroyWindow(state->closeWindow);
    }
    if (HWND calibration = HookTakeCalibrationClose())
        DestroyWindow(calibration);
    AppSettings* settings = FindAppSettings();
    if (settings && settings->closePending) {
        settings->closePending = 0;
        DestroyWindow(settings->closePendingWindow);
    }
}

} // namespace

bool ScreenLockActive() {
    DeviceProfile* profile = GetDeviceProfile();
    return profile->disp_lock() && profile->backlightLevel == profile->disp_dim();
}

void ProcessLoopMessage(MSG* msg, HACCEL accelerators) {
    DeviceProfile* profile = GetDeviceProfile();
    WakeUp(*msg, profile);
    CornerTaps(*msg, profile);
    Dispatch(msg, accelerators);
    DeferredCloses();
}

WPARAM RunMessageLoop(HACCEL accelerators) {
    MSG msg{};
    while (GetMessageW(&msg, nullptr, 0, 0) > 0)
        ProcessLoopMessage(&msg, accelerators);
    return msg.wParam;
}
