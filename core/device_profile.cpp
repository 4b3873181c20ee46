#include "core/device_profile.h"

#include <cwctype>
#include <cwchar>

#include "core/backlight.h"
#include "core/platform_libs.h"
#include "core/program_globals.h"
#include "core/startup_hooks.h"
#include "views/view.h"

namespace {

struct SlotDefault {
    uint32_t type;
    uint32_t width;
};
const SlotDefault kSlotDefaults[kCfgSlotCount] = {{1, 45},  {2, 45}, {3, 30},
                                                  {4, 140}, {5, 30}, {0, 0}};

int ScreenDpi() {
    HDC screen = GetDC(nullptr);
    if (!screen)
        return 96;
    int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

} // namespace

bool OemNameIs(const wchar_t* oem, const wchar_t* name) {
    if (!oem || !name)
        return false;
    size_t n = wcslen(name);
    for (size_t i = 0; i < n; ++i) {
        if (oem[i] == 0 || towupper(oem[i]) != towupper(name[i]))
            return false;
    }
    return true;
}

DeviceProfile::DeviceProfile()
    : views{}, currentViewCommand(kCurrentViewTracking), scale(1), dpi(96), mainWindow(nullptr),
      commandBarHidden(1), cfg1(0x30000), cfg4(0), cfg5(0), cfg6(0), cfg7(0), cfg8(0), cfgSlots{},
      distanceFilter(100), topRow(0), bottomRow(0), backlightLevel(6), minBacklight(-1),
      backlightRestoreLevel(6), inputSeen(0), dimmed(0), lcdType(0), ioRegisterIndex(0),
      ioRegisterMask(0), deviceFunction{}, buttons{}, buttonCount(0), pwmRegisters(nullptr),
      lcdRegisters(nullptr), ioRegisters(nullptr) {
    SetDpi(ScreenDpi());
}

void DeviceProfile::Start() {
    InitPlatformLibraries(g_programFolder);
}

void DeviceProfile::Shutdown() {
    for (ViewTableEntry& entry : views) {
        delete entry.view;
        entry.view = nullptr;
        entry.active = 0;
    }
    BacklightShutdown(this);
    ClosePlatformLibraries();
}

void DeviceProfile::SetDpi(int newDpi) {
    dpi = newDpi;
    scale = newDpi < 121 ? 1 : 2;
}

void DeviceProfile::SetDefaultCfg1() {
    cfg1 = 0xA3AF0030;
}

void DeviceProfile::SetDefaultCfg4() {
    uint32_t word = cfg4 & FieldMask(0, 9);
    word = WithField(word, 11, 1, 1);
    word = WithField(word, 12, 4, 5);
    word = WithField(word, 16, 4, 6);
    cfg4 = word;
}

void DeviceProfile::SetDefaultCfg5() {
    uint32_t word = cfg5 & FieldMask(16, 16);
    word = WithField(word, 0, 7, 5);
    word = WithField(word, 7, 1, 1);
    word = WithField(word, 8, 7, 2);
    word = WithField(word, 15, 1, 1);
    cfg5 = word;
}

void DeviceProfile::SetDefaultCfg6() {
    uint32_t word = 0;
    word = WithField(word, 0, 7, 4);
    word = WithField(word, 7, 1, 1);
    word = WithField(word, 8, 7, 2);
    word = WithField(word, 25, 7, 20);
    cfg6 = word;
}

void DeviceProfile::SetDefaultCfg7() {
    uint32_t word = cfg7 & FieldMask(0, 3);
    word = WithField(word, 4, 1, 1);
    word = WithField(word, 6, 3, kFltMotor);
    word = WithField(word, 9, 23, 100);
    cfg7 = word;
    distanceFilter = 100;
}

void DeviceProfile::SetDefaultCfg8() {
    uint32_t word = cfg8 & FieldMask(0, 5);
    word = WithField(word, 8, 16, 30);
    word = WithField(word, 24, 4, 6);
    word = WithField(word, 28, 4, 5);
    cfg8 = word;
}

void DeviceProfile::SetDefaultCfgSlot(int slot) {
    if (slot < 0 || slot >= kCfgSlotCount)
        return;
    cfgSlots[slot] = (kSlotDefaults[slot].width << 4) | kSlotDefaults[slot].type;
}

void DeviceProfile::SetDefaultOptions() {
    cfg1 = (cfg1 & 7u) | 0x83EF0018u;
}

DeviceProfile* GetDeviceProfile() {
    // Published before the platform set-up, which may come back here.
    static DeviceProfile* profile = nullptr;
    if (!profile) {
        profile = new DeviceProfile();
        profile->Start();
    }
    return profile;
}
