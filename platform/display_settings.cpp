#include "platform/display_settings.h"

#include <mutex>

namespace {
std::mutex g_lock;
DWORD g_supported = kCeDmdo90 | kCeDmdo180 | kCeDmdo270;
DWORD g_current = kCeDmdo0;

bool IsOrientation(DWORD v) {
    return v == kCeDmdo0 || v == kCeDmdo90 || v == kCeDmdo180 || v == kCeDmdo270;
}
} // namespace

void SetDisplayDriverForTesting(DWORD supportedMask, DWORD current) {
    std::lock_guard<std::mutex> hold(g_lock);
    g_supported = supportedMask;
    g_current = current;
}

LONG CeChangeDisplaySettingsEx(DEVMODEW* mode, DWORD flags) {
    if (!mode)
        return DISP_CHANGE_BADPARAM;
    std::lock_guard<std::mutex> hold(g_lock);
    if (flags & CDS_TEST) {
        if (mode->dmFields & kCeDmDisplayQueryOrientation)
            mode->dmDisplayOrientation = g_supported;
        else if (mode->dmFields & kCeDmDisplayOrientation)
            mode->dmDisplayOrientation = g_current;
        else
            return DISP_CHANGE_BADPARAM;
        return DISP_CHANGE_SUCCESSFUL;
    }
    if (!(mode->dmFields & kCeDmDisplayOrientation) || !IsOrientation(mode->dmDisplayOrientation))
        return DISP_CHANGE_BADPARAM;
    const DWORD wanted = mode->dmDisplayOrientation;
    if (wanted != kCeDmdo0 && !(g_supported & wanted))
        return DISP_CHANGE_BADMODE;
    g_current = wanted;
    return DISP_CHANGE_SUCCESSFUL;
}
