// The first start after installation registers ".tur" under HKEY_CLASSES_ROOT, which every
// test of the prefix shares.
#include <gtest/gtest.h>

#include <string>

#include "core/registry_key.h"
#include "tests/core/settings_fixture.h"

namespace {

class FirstStartTest : public SettingsTest {
protected:
    FirstStartTest() {
        RegistryKey tur;
        hadTur = tur.Open(HKEY_CLASSES_ROOT, L".tur");
    }
    ~FirstStartTest() override {
        if (hadTur)
            RegisterTur();
        else
            RegDeleteTreeW(HKEY_CLASSES_ROOT, L".tur");
    }
    static void RegisterTur() {
        RegistryKey tur;
        tur.Create(HKEY_CLASSES_ROOT, L".tur");
        tur.WriteString(nullptr, L"turfile");
    }
    void StoreFirstStart() const {
        StoreSettingsMarker(1234);
        key.SetDword(L"cfg3", kFirstStartMarker);
        key.SetDword(L"cfg1", 0x00400007); // bit 22 and bits 0-2
    }
    bool hadTur = false;
};

TEST_F(FirstStartTest, RegisteredFileTypeOnlyClearsBit22) {
    RegisterTur();
    StoreFirstStart();
    LoadSettings(&settings);

    EXPECT_EQ(0x00030007u, profile()->cfg1);
    EXPECT_EQ(1234, settings.firstFixStamp);
    DWORD value = 0;
    ASSERT_TRUE(key.GetDword(L"cfg3", &value));
    EXPECT_EQ(kFirstStartMarker, value) << "nothing saved";
}

TEST_F(FirstStartTest, UnregisteredFileTypeIsSetUp) {
    RegDeleteTreeW(HKEY_CLASSES_ROOT, L".tur");
    StoreFirstStart();
    LoadSettings(&settings);

    // Display defaults keep bits 0-2; bit 22 stays cleared.
    EXPECT_EQ(0x83AF001Fu, profile()->cfg1);
    EXPECT_EQ(0, settings.firstFixStamp) << "cfg2 rewritten without a receiver";
    DWORD value = 0;
    ASSERT_TRUE(key.GetDword(L"cfg3", &value));
    EXPECT_EQ(0x83AF001Fu, value) << "settings saved, cfg3 now a copy of cfg1";
    ASSERT_TRUE(key.GetDword(L"cfg2", &value));
    EXPECT_EQ(0u, value);

    RegistryKey tur;
    ASSERT_TRUE(tur.Open(HKEY_CLASSES_ROOT, L".tur"));
    wchar_t text[32] = {};
    ASSERT_TRUE(tur.ReadString(nullptr, text, 32));
    EXPECT_STREQ(L"turfile", text);
    ASSERT_TRUE(tur.ReadString(L"Content Type", text, 32));
    EXPECT_STREQ(L"map/tour", text);

    // The next start is an ordinary one.
    ResetProfileOptions(profile());
    AppSettings next;
    LoadSettings(&next);
    EXPECT_EQ(0x83AF001Fu, profile()->cfg1);
}

} // namespace
