#include "core/backlight.h"

#include "core/device_profile.h"
#include "core/platform_libs.h"
#include "platform/virtual_copy.h"

#include <windows.h>

#include <cstring>
#include <mutex>
#include <set>

namespace {

constexpr DWORD kWindowBytes = 384;
constexpr size_t kWindowWords = kWindowBytes / 4;
constexpr size_t kLcdCopyBytes = 352;
constexpr int kSavedWords = 5;

// PWM
constexpr size_t kDuty2 = 4, kPeriod2 = 8; // layout 2
constexpr size_t kPeriod = 12, kDuty = 16; // other layouts
// LCD
constexpr size_t kLcdControl1 = 0, kLcdControl5 = 16;
constexpr uint32_t kVideoOutput = 1u << 0;
constexpr uint32_t kLcdPowerSignals = (1u << 2) | (1u << 3);

struct Layout {
    uint32_t pwm, lcd, io; // io 0: none
};

Layout LayoutOf(int lcdType) {
    switch (lcdType % 100) {
    case 3:
        return {0xB1C00000, 0xB1100000, 0xB2100000};
    case 2:
        return {0xA6E00000, 0xB8200000, 0};
    default:
        return {0xB1100000, 0xB0D00000, 0};
    }
}

bool IsLayout2(const DeviceProfile* p) {
    return p->lcdType % 100 == 2;
}

volatile uint32_t* Words(volatile void* window) {
    return static_cast<volatile uint32_t*>(window);
}
uint32_t ReadWord(volatile void* window, size_t offset) {
    return Words(window)[offset / 4];
}
void WriteWord(volatile void* window, size_t offset, uint32_t value) {
    Words(window)[offset / 4] = value;
}

// Register values kept once per run, as the device had them before the program changed them.
std::mutex g_savedLock;
bool g_registersSaved = false;
uint32_t g_savedPwm[kSavedWords];
uint32_t g_savedLcd[kSavedWords];
bool g_lcdCopied = false;
uint8_t g_lcdCopy[kLcdCopyBytes];
// Profiles whose windows were mapped and whose level to restore was read.
std::set<const DeviceProfile*> g_mapped;

volatile void* MapWindow(uint32_t address, const wchar_t* failure) {
    void* window = CeVirtualAlloc(kWindowBytes);
    if (window && VirtualCopy(window, reinterpret_cast<void*>(static_cast<uintptr_t>(address)),
                              kWindowBytes, PAGE_READWRITE | PAGE_NOCACHE))
        return window;
    if (window)
        CeVirtualFree(window);
    OutputDebugStringW(failure);
    return nullptr;
}

void UnmapWindow(volatile void** window, const wchar_t* failure) {
    if (!*window) {
        OutputDebugStringW(failure);
        return;
    }
    CeVirtualFree(const_cast<void*>(*window));
    *window = nullptr;
}

int Duty(int minimum, int top, int level) {
    if (level < 1)
        return 0;
    if (minimum < 0)
        minimum = 0; // no minimum known yet: start from zero, never below
    int duty = minimum + (top - minimum) * (level - 1) / 5;
    return duty < 0 ? 0 : duty;
}

// The command bar button and the full-screen menu belong to the main window and the menu
// control; they are told here once those exist.
void RefreshBacklightControls(DeviceProfile* profile, int level, bool updateButton) {
    (void)profile;
    (void)level;
    (void)updateButton;
}

} // namespace

bool CanControlBacklight(DeviceProfile* profile) {
    if (profile->lcdType != -1 && profile->backlight_control())
        return true;
    profile->set_disp_lock(false);
    profile->set_auto_dim(false);
    return false;
}

void MapLcdRegisters(DeviceProfile* profile, uint32_t lcdBase) {
    {
        std::lock_guard<std::mutex> hold(g_savedLock);
        if (!g_mapped.insert(profile).second)
            return; // once: a later read would see the program's own level
    }
    Layout layout = LayoutOf(profile->lcdType);
    if (lcdBase != 0)
        layout = {0xA6E00000, lcdBase, 0};
    profile->pwmRegisters = MapWindow(layout.pwm, L"S3C244x_PWM_reg: VirtualAlloc failed!\r\n");
    profile->lcdRegisters = MapWindow(layout.lcd, L"S3C244x_LCD_reg: VirtualAlloc failed!\r\n");
    if (layout.io && profile->ioRegisterMask != 0)
        profile->ioRegisters = MapWindow(layout.io, L"S3C244x_IO_reg: VirtualAlloc failed!\r\n");
    profile->backlightRestoreLevel = ReadBacklightLevel(profile);
}

void UnmapLcdRegisters(DeviceProfile* profile) {
    {
        std::lock_guard<std::mutex> hold(g_savedLock);
        g_mapped.erase(profile);
    }
    UnmapWindow(&profile->pwmRegisters, L"S3C244x_PWM_reg: ALREADY UNMPAPPED!");
    UnmapWindow(&profile->lcdRegisters, L"S3C244x_LCD_reg: ALREADY UNMPAPPED!");
    UnmapWindow(&profile->ioRegisters, L"S3C244x_IO_reg: ALREADY UNMPAPPED!");
}

int ReadBacklightLevel(DeviceProfile* profile) {
    if (OemIs(kDianaOem))
        return DianaGetBacklight();
    if (OemIs(kTp300Oem))
        return Tp300GetBacklight();
    if (!profile->pwmRegisters)
        return 0;
    if (IsLayout2(profile)) {
        const uint32_t period = ReadWord(profile->pwmRegisters, kPeriod2) & 1023;
        if (period == 0)
            return -1; // a stopped timer tells no level
        return static_cast<int>(6ull * ReadWord(profile->pwmRegisters, kDuty2) / period);
    }
    const uint32_t period = ReadWord(profile->pwmRegisters, kPeriod);
    if (profile->minBacklight == -1)
        profile->minBacklight = static_cast<int>(static_cast<uint64_t>(period) * 21 / 100);
    if (period == 0)
        return -1;
    return static_cast<int>(6ull * ReadWord(profile->pwmRegisters, kDuty) / period);
}

void SaveLcdRegisters(DeviceProfile* profile) {
    if (!profile->pwmRegisters || !profile->lcdRegisters || IsLayout2(profile))
        return;
    std::lock_guard<std::mutex> hold(g_savedLock);
    if (g_registersSaved)
        return;
    for (int i = 0; i < kSavedWords; ++i) {
        g_savedPwm[i] = ReadWord(profile->pwmRegisters, 4 * i);
        g_savedLcd[i] = ReadWord(profile->lcdRegisters, 4 * i);
    }
    g_registersSaved = true;
}

void RestoreLcdRegisters(DeviceProfile* profile) {
    if (!profile->pwmRegisters || !profile->lcdRegisters || IsLayout2(profile))
        return;
    std::lock_guard<std::mutex> hold(g_savedLock);
    if (!g_registersSaved)
        return; // nothing kept: writing zeros would switch the display off
    WriteWord(profile->pwmRegisters, kDuty, g_savedPwm[kDuty / 4]);
    WriteWord(profile->lcdRegisters, kLcdControl1, g_savedLcd[kLcdControl1 / 4]);
    WriteWord(profile->lcdRegisters, kLcdControl5, g_savedLcd[kLcdControl5 / 4]);
}

void SetLcdPower(DeviceProfile* profile, bool on) {
    volatile void* lcd = profile->lcdRegisters;
    if (!lcd)
        return;
    {
        std::lock_guard<std::mutex> hold(g_savedLock);
        if (!g_lcdCopied) {
            for (size_t i = 0; i < kLcdCopyBytes / 4; ++i) {
                uint32_t w = ReadWord(lcd, 4 * i);
                memcpy(g_lcdCopy + 4 * i, &w, 4);
            }
            g_lcdCopied = true;
        }
    }
    if (profile->lcdType / 100 == 0)
        return;
    uint32_t c1 = ReadWord(lcd, kLcdControl1);
    uint32_t c5 = ReadWord(lcd, kLcdControl5);
    WriteWord(lcd, kLcdControl1, on ? c1 | kVideoOutput : c1 & ~kVideoOutput);
    WriteWord(lcd, kLcdControl5, on ? c5 | kLcdPowerSignals : c5 & ~kLcdPowerSignals);
}

void SetBacklight(DeviceProfile* profile, int level, bool updateButton) {
    if (!CanControlBacklight(profile))
        return;
    if (level < 0)
        level = 0;
    if (level > kBacklightMaxLevel)
        level = kBacklightMaxLevel;
    MapLcdRegisters(profile, 0);
    SaveLcdRegisters(profile);
    if (OemIs(kDianaOem)) {
        DianaSetBacklight(level);
    } else if (OemIs(kTp300Oem)) {
        if (profile->backlightLevel == 0 && level == 1) {
            Tp300SetBacklight(2); // the lamp does not start at the lowest level
            Sleep(50);
        }
        Tp300SetBacklight(level);
    } else if (volatile void* pwm = profile->pwmRegisters) {
        if (IsLayout2(profile)) {
            const int period = static_cast<int>(ReadWord(pwm, kPeriod2) & 1023);
            WriteWord(pwm, kDuty2,
                      static_cast<uint32_t>(Duty(profile->minBacklight, period, level)));
        } else {
            const int period = static_cast<int>(ReadWord(pwm, kPeriod));
            if (profile->backlightLevel == 0 && level == 1 && period > 0) {
                WriteWord(pwm, kDuty, static_cast<uint32_t>((period - 1) * 2 / 6));
                Sleep(50); // the lamp does not start at the lowest level
            }
            const int duty = Duty(profile->minBacklight, period - 1, level);
            WriteWord(pwm, kDuty, static_cast<uint32_t>(duty));
            // The index comes from the device file: only words inside the window are touched.
            const int index = profile->ioRegisterIndex;
            if (profile->ioRegisters && index >= 0 && static_cast<size_t>(index) < kWindowWords) {
                volatile uint32_t* io = Words(profile->ioRegisters) + index;
                *io =
                    duty != 0 ? (*io | profile->ioRegisterMask) : (*io & ~profile->ioRegisterMask);
            }
            SetLcdPower(profile, level != 0);
        }
    }
    RefreshBacklightControls(profile, level, updateButton);
    profile->backlightLevel = level;
    if (level == profile->disp_dim())
        profile->dimmed = 1;
    if (level == profile->disp_bright() && profile->auto_dim() && profile->mainWindow)
        SetTimer(profile->mainWindow, kDimTimerId, static_cast<UINT>(profile->dim_delay()) * 1000u,
                 nullptr);
}

void BacklightShutdown(DeviceProfile* profile) {
    if (!CanControlBacklight(profile))
        return;
    bool levelRead;
    {
        std::lock_guard<std::mutex> hold(g_savedLock);
        levelRead = g_mapped.count(profile) != 0;
    }
    // Only a level read from the device is restored; an unreadable one (-1) is left alone.
    const int level = profile->backlightRestoreLevel;
    if (levelRead && level >= 0 && level <= kBacklightMaxLevel)
        SetBacklight(profile, level, false);
    UnmapLcdRegisters(profile);
}
