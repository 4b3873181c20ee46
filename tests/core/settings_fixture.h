// A clean program key and a device profile back at its construction values, for tests of the
// settings load and save.
#pragma once
#include <gtest/gtest.h>

#include "core/app_settings.h"
#include "core/device_profile.h"
#include "core/program_globals.h"
#include "tests/support/program_key_scope.h"
#include "tests/support/scratch_dir.h"

inline void ResetProfileOptions(DeviceProfile* profile) {
    profile->cfg1 = 0x30000;
    profile->cfg4 = profile->cfg5 = profile->cfg6 = profile->cfg7 = profile->cfg8 = 0;
    for (uint32_t& slot : profile->cfgSlots)
        slot = 0;
    profile->distanceFilter = 100;
    profile->topRow = profile->bottomRow = 0;
}

class SettingsTest : public ::testing::Test {
protected:
    SettingsTest() {
        // The program folder takes the settings backup file.
        CopyText(g_programFolder, kPathChars, (folder.path() + L"\\").c_str());
        ResetProfileOptions(GetDeviceProfile());
    }
    ~SettingsTest() override { g_programFolder[0] = 0; }
    DeviceProfile* profile() const { return GetDeviceProfile(); }
    // A key that counts as holding stored settings ("cfg2" present).
    void StoreSettingsMarker(DWORD cfg2 = 7) const { key.SetDword(L"cfg2", cfg2); }

    ScratchDir folder;
    ProgramKeyScope key;
    AppSettings settings;
};
