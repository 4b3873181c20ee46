#include "core/device_profile.h"

#include <gtest/gtest.h>

#include "core/file_dialog_request.h"

namespace {

TEST(DeviceProfile, ScaleFollowsDpi) {
    DeviceProfile profile;
    const struct {
        int dpi;
        int scale;
    } cases[] = {{96, 1}, {120, 1}, {121, 2}, {192, 2}};
    for (const auto& c : cases) {
        profile.SetDpi(c.dpi);
        EXPECT_EQ(c.dpi, profile.dpi);
        EXPECT_EQ(c.scale, profile.scale) << c.dpi;
    }
}

TEST(DeviceProfile, ConstructionValues) {
    DeviceProfile profile;
    EXPECT_EQ(0x30000u, profile.cfg1);
    EXPECT_EQ(40003, profile.currentViewCommand);
    EXPECT_EQ(100, profile.distanceFilter);
    EXPECT_EQ(6, profile.backlightLevel);
    EXPECT_EQ(-1, profile.minBacklight);
    EXPECT_EQ(1, profile.commandBarHidden);
    EXPECT_EQ(nullptr, profile.views[0].view);
}

TEST(DeviceProfile, DefaultSetsKeepTheirOtherBits) {
    DeviceProfile profile;
    profile.cfg1 = profile.cfg4 = profile.cfg5 = profile.cfg6 = profile.cfg7 = profile.cfg8 =
        0xFFFFFFFF;
    profile.SetDefaultCfg1();
    profile.SetDefaultCfg4();
    profile.SetDefaultCfg5();
    profile.SetDefaultCfg6();
    profile.SetDefaultCfg7();
    profile.SetDefaultCfg8();
    EXPECT_EQ(0xA3AF0030u, profile.cfg1);
    EXPECT_EQ(0x000659FFu, profile.cfg4); // bits 0-8 kept
    EXPECT_EQ(0xFFFF8285u, profile.cfg5); // bits 16-31 kept
    EXPECT_EQ(0x28000284u, profile.cfg6);
    EXPECT_EQ(0x0000C817u, profile.cfg7); // bits 0-2 kept
    EXPECT_EQ(0x56001E1Fu, profile.cfg8); // bits 0-4 kept

    profile.cfg1 = 0xFFFFFFFF;
    profile.SetDefaultOptions();
    EXPECT_EQ(0x83EF001Fu, profile.cfg1);
}

TEST(DeviceProfile, NamedBitsReadAndWriteTheirWords) {
    DeviceProfile profile;
    profile.cfg1 = profile.cfg4 = profile.cfg7 = profile.cfg8 = 0;
    profile.set_cfg_gpsuse(true);
    EXPECT_EQ(0x2u, profile.cfg7);
    profile.set_activity_filter(DeviceProfile::kFltHike);
    profile.set_filter_distance(250);
    EXPECT_EQ((250u << 9) | (2u << 6) | 2u, profile.cfg7);
    profile.set_unit_system(DeviceProfile::kUnitNautical);
    profile.set_cfg_scalebar(true);
    EXPECT_EQ(0x80008000u, profile.cfg1);
    profile.set_tour_pause(true);
    profile.set_coord_format(DeviceProfile::kFormatD);
    profile.set_cfg_gpsbt(true);
    EXPECT_EQ(0x00600080u, profile.cfg4);
    profile.set_disp_lock(true);
    profile.set_disp_bright(4);
    profile.set_disp_dim(2);
    profile.set_dim_delay(0xFFFFF); // wider than its field: cut, neighbours untouched
    EXPECT_EQ(0x24FFFF40u, profile.cfg8);
    profile.set_cfg_gpsuse(false);
    EXPECT_FALSE(profile.cfg_gpsuse());
    EXPECT_EQ(DeviceProfile::kFltHike, profile.activity_filter());
}

TEST(DeviceProfile, OemNamesCompareOverTheNameLength) {
    EXPECT_TRUE(OemNameIs(L"navigon diana/noha 2.0", L"Navigon Diana/Noha"));
    EXPECT_TRUE(OemNameIs(L"N_HH_BRISEL_X", L"N_HH_BRISEL"));
    EXPECT_FALSE(OemNameIs(L"TP300", L"TP300 Platform"));
    EXPECT_FALSE(OemNameIs(L"", L"TP300 Platform"));
    EXPECT_FALSE(OemNameIs(nullptr, L"TP300 Platform"));
}

TEST(FileDialogRequest, ResetPointsAtTheSharedBuffers) {
    HWND previous = GetDeviceProfile()->mainWindow;
    GetDeviceProfile()->mainWindow = reinterpret_cast<HWND>(0x1234);
    GetFileDialogRequest()->Flags = OFN_ALLOWMULTISELECT;
    InitOpenFileName();
    const OPENFILENAMEW* r = GetFileDialogRequest();
    EXPECT_EQ(sizeof(OPENFILENAMEW), r->lStructSize);
    EXPECT_EQ(reinterpret_cast<HWND>(0x1234), r->hwndOwner);
    EXPECT_EQ(GetFileDialogFilter(), r->lpstrFilter);
    EXPECT_EQ(GetFileDialogTitle(), r->lpstrTitle);
    EXPECT_EQ(260u, r->nMaxFile);
    EXPECT_EQ(260u, r->nMaxFileTitle);
    EXPECT_EQ(nullptr, r->lpstrFile);
    EXPECT_EQ(0u, r->Flags);
    GetDeviceProfile()->mainWindow = previous;
}

} // namespace
