// Backlight of the device: through a platform library on two device families, or on devices
// built on the S3C244x system chip by writing its PWM timer and LCD controller registers, which
// are mapped into the program (windows of 384 bytes). Levels run from 0 (off) to 6 (full).
//
// Register words used (byte offsets):
//   layout 2 (LCD type mod 100 == 2): PWM +4 duty, +8 period (low 10 bits)
//   other layouts: PWM +12 period (timer count buffer 0), +16 duty (compare buffer 0);
//                  LCD +0 control 1 (bit 0 video output), +16 control 5 (bits 2, 3 LCD power);
//                  IO word [IO register index], IO register mask bits = backlight power
#pragma once
#include <cstdint>

class DeviceProfile;

constexpr int kBacklightMaxLevel = 6;
constexpr int kDimTimerId = 102;
constexpr int kBacklightButtonCommand = 40220;

// True when the LCD type allows control and cfg8 bit 5 is on; otherwise clears the lock and
// auto-dim bits and returns false.
bool CanControlBacklight(DeviceProfile* profile);
// Maps the windows once (lcdBase 0: the layout's own addresses; else PWM at 0xA6E00000 and the
// LCD window at lcdBase), then reads the current level into the level to restore.
void MapLcdRegisters(DeviceProfile* profile, uint32_t lcdBase);
void UnmapLcdRegisters(DeviceProfile* profile);
// The current level; 0 without registers, -1 when it cannot be told.
int ReadBacklightLevel(DeviceProfile* profile);
void SaveLcdRegisters(DeviceProfile* profile);
void RestoreLcdRegisters(DeviceProfile* profile);
void SetLcdPower(DeviceProfile* profile, bool on);
void SetBacklight(DeviceProfile* profile, int level, bool updateButton);
// At shut-down: the level found at the first mapping again (when it is a level), and the
// windows released.
void BacklightShutdown(DeviceProfile* profile);
