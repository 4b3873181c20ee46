#include "core/backlight.h"
#include "core/device_profile.h"
#include "core/platform_libs.h"
#include "core/display_orientation.h"
#include "platform/display_settings.h"
#include "platform/oem_info.h"
#include "platform/virtual_copy.h"
#include "tests/support/message_collector.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// PWM and LCD words (byte offsets) of the layouts other than 2.
constexpr size_t kPeriod = 12, kDuty = 16, kControl1 = 0, kControl5 = 16;

class BacklightTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetOemInfoForTesting(L"");
        profile = std::make_unique<DeviceProfile>();
        profile->set_backlight_control(true);
        profile->set_disp_bright(6);
        profile->set_disp_dim(1);
    }
    void TearDown() override { UnmapLcdRegisters(profile.get()); }
    std::unique_ptr<DeviceProfile> profile;
};

TEST_F(BacklightTest, DutyFollowsLevelsAndFirstReadSetsMinimum) {
    profile->lcdType = 101; // layout 1, LCD signal switched with the lamp
    SimulatedRegisters pwm(0xB1100000, 384), lcd(0xB0D00000, 384);
    pwm.Write(kPeriod, 1000);
    pwm.Write(kDuty, 500);
    lcd.Write(kControl1, 0x10);
    lcd.Write(kControl5, 0x01);

    const struct {
        int level;
        uint32_t duty;
        bool lcdOn;
    } steps[] = {
        {3, 210 + (999 - 210) * 2 / 5, true}, // 525
        {0, 0, false},
        {1, 210, true}, // the first read made the minimum 21 % of the period
        {6, 999, true}, // the full period minus one
    };
    for (const auto& s : steps) {
        SetBacklight(profile.get(), s.level, false);
        EXPECT_EQ(s.duty, pwm.Read(kDuty)) << "level " << s.level;
        EXPECT_EQ(s.lcdOn ? 0x11u : 0x10u, lcd.Read(kControl1)) << "level " << s.level;
        EXPECT_EQ(s.lcdOn ? 0x0Du : 0x01u, lcd.Read(kControl5)) << "level " << s.level;
        EXPECT_EQ(s.level, profile->backlightLevel);
    }
    EXPECT_EQ(210, profile->minBacklight);
    EXPECT_EQ(3, profile->backlightRestoreLevel); // 6 x 500 / 1000

    // Shut-down puts back the level found at the first mapping and releases the windows.
    BacklightShutdown(profile.get());
    EXPECT_EQ(525u, pwm.Read(kDuty));
    EXPECT_EQ(nullptr, profile->pwmRegisters);
}

TEST_F(BacklightTest, IoWindowOfLayout3AndLcdSignalKeptWithoutHundreds) {
    profile->lcdType = 3;
    profile->minBacklight = 100;
    profile->ioRegisterIndex = 2;
    profile->ioRegisterMask = 0x40;
    SimulatedRegisters pwm(0xB1C00000, 384), lcd(0xB1100000, 384), io(0xB2100000, 384);
    pwm.Write(kPeriod, 601);
    io.Write(8, 0x81);
    lcd.Write(kControl1, 0x11);
    SetBacklight(profile.get(), 6, false);
    EXPECT_EQ(600u, pwm.Read(kDuty));
    EXPECT_EQ(0xC1u, io.Read(8));
    SetBacklight(profile.get(), 0, false);
    EXPECT_EQ(0u, pwm.Read(kDuty));
    EXPECT_EQ(0x81u, io.Read(8));
    EXPECT_EQ(0x11u, lcd.Read(kControl1)); // type below 100: the LCD signal is left alone
}

TEST_F(BacklightTest, Layout2AndUnsetMinimumNeverGoNegative) {
    profile->lcdType = 2;
    SimulatedRegisters pwm(0xA6E00000, 384), lcd(0xB8200000, 384);
    pwm.Write(8, 0xFC00 | 600); // period: low 10 bits
    SetBacklight(profile.get(), 1, false);
    EXPECT_EQ(0u, pwm.Read(4)); // no minimum known: level 1 starts at 0
    EXPECT_EQ(-1, profile->minBacklight);
    profile->minBacklight = 100;
    SetBacklight(profile.get(), 6, false);
    EXPECT_EQ(600u, pwm.Read(4));
    EXPECT_EQ(6, ReadBacklightLevel(profile.get()));
    SetBacklight(profile.get(), 3, false);
    EXPECT_EQ(300u, pwm.Read(4));
    pwm.Write(8, 0xFC00); // a stopped timer: no division by zero, no level
    EXPECT_EQ(-1, ReadBacklightLevel(profile.get()));
}

TEST_F(BacklightTest, UnreadableLevelIsNotRestoredAtShutdown) {
    profile->lcdType = 1;
    SimulatedRegisters pwm(0xB1100000, 384), lcd(0xB0D00000, 384);
    pwm.Write(kPeriod, 0); // level cannot be read
    SetBacklight(profile.get(), 6, false);
    pwm.Write(kPeriod, 1000);
    SetBacklight(profile.get(), 5, false);
    const uint32_t duty = pwm.Read(kDuty);
    EXPECT_EQ(-1, profile->backlightRestoreLevel);
    BacklightShutdown(profile.get());
    EXPECT_EQ(duty, pwm.Read(kDuty));
}

TEST_F(BacklightTest, NoControlClearsLockAndAutoDimAndWritesNothing) {
    for (int type : {-1, 1}) {
        profile->lcdType = type;
        profile->set_backlight_control(type != -1 ? false : true);
        profile->set_disp_lock(true);
        profile->set_auto_dim(true);
        SimulatedRegisters pwm(0xB1100000, 384), lcd(0xB0D00000, 384);
        pwm.Write(kPeriod, 1000);
        pwm.Write(kDuty, 77);
        SetBacklight(profile.get(), 2, false);
        EXPECT_EQ(77u, pwm.Read(kDuty)) << type;
        EXPECT_FALSE(profile->disp_lock()) << type;
        EXPECT_FALSE(profile->auto_dim()) << type;
    }
}

TEST_F(BacklightTest, DimLevelAndDimTimer) {
    MessageCollector window;
    profile->lcdType = 1;
    profile->mainWindow = window.hwnd();
    profile->set_auto_dim(true);
    profile->set_dim_delay(30);
    SetBacklight(profile.get(), 1, false); // no registers: the state still follows
    EXPECT_EQ(1, profile->dimmed);
    EXPECT_FALSE(KillTimer(window.hwnd(), kDimTimerId));
    SetBacklight(profile.get(), 6, false);
    EXPECT_TRUE(KillTimer(window.hwnd(), kDimTimerId)); // the bright level arms the dim timer
}

TEST_F(BacklightTest, LibraryPlatformsGoThroughTheirLibrary) {
    SetOemInfoForTesting(kDianaOem);
    ASSERT_EQ(1, BindDianaLibrary(L"fake_hwlayer_full.dll"));
    profile->lcdType = 1;
    SetBacklight(profile.get(), 3, false);
    EXPECT_EQ(3, DianaGetBacklight());
    EXPECT_EQ(3, ReadBacklightLevel(profile.get()));
    EXPECT_EQ(-1, profile->backlightRestoreLevel); // nothing was set before the first change
    BacklightShutdown(profile.get());
    EXPECT_EQ(3, DianaGetBacklight()); // an unknown level is not restored
    CloseDianaPlatform();
    SetOemInfoForTesting(L"");
}

TEST(DisplayOrientation, RotationCycleIsStored) {
    SetDisplayDriverForTesting(kCeDmdo90 | kCeDmdo180 | kCeDmdo270, kCeDmdo0);
    DeviceProfile profile;
    EXPECT_EQ(kCeDmdo90 | kCeDmdo180 | kCeDmdo270, QueryDisplayOrientations());
    for (DWORD expected : {kCeDmdo90, kCeDmdo180, kCeDmdo270, kCeDmdo0}) {
        RotateDisplay(&profile);
        EXPECT_EQ(expected, GetDisplayOrientation());
        EXPECT_EQ(static_cast<int>(expected), profile.orientation());
    }
    SetOrientation(&profile, kCeDmdo180, false);
    EXPECT_EQ(kCeDmdo180, GetDisplayOrientation());
    EXPECT_EQ(0, profile.orientation());
    SetDisplayDriverForTesting(kCeDmdo90 | kCeDmdo180 | kCeDmdo270, kCeDmdo0);
}

} // namespace
