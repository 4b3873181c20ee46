#include "core/display_orientation.h"

#include "core/device_profile.h"
#include "platform/display_settings.h"

namespace {
DWORD Query(DWORD field) {
    DEVMODEW mode{};
    mode.dmSize = sizeof(mode);
    mode.dmFields = field;
    if (CeChangeDisplaySettingsEx(&mode, CDS_TEST) != DISP_CHANGE_SUCCESSFUL)
        return 0;
    return mode.dmDisplayOrientation;
}
} // namespace

DWORD QueryDisplayOrientations() {
    return Query(kCeDmDisplayQueryOrientation);
}

DWORD GetDisplayOrientation() {
    return Query(kCeDmDisplayOrientation);
}

void SetOrientation(DeviceProfile* profile, DWORD orientation, bool store) {
    DEVMODEW mode{};
    mode.dmSize = sizeof(mode);
    mode.dmFields = kCeDmDisplayOrientation;
    mode.dmDisplayOrientation = orientation;
    CeChangeDisplaySettingsEx(&mode, CDS_RESET);
    if (store)
        profile->set_orientation(static_cast<int>(orientation));
}

void RotateDisplay(DeviceProfile* profile) {
    const DWORD current = GetDisplayOrientation();
    DWORD next = current <= kCeDmdo270 ? 1u << current : 16; // 0, 1, 2, 4 -> 1, 2, 4, 16
    if (next == 16)
        next = kCeDmdo0;
    SetOrientation(profile, next, true);
}
