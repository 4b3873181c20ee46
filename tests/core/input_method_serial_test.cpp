#include "core/input_method.h"
#include "platform/oem_info.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace {

const GUID kOther = {0x11111111, 0x2222, 0x3333, {1, 2, 3, 4, 5, 6, 7, 8}};
const GUID kThird = {0x99999999, 0x8888, 0x7777, {8, 7, 6, 5, 4, 3, 2, 1}};

// The device's current input method, as the core library reports it. While loaded here, the
// library keeps it in a key of this test's own.
class CoreLibrary {
public:
    CoreLibrary()
        : module_(LoadLibraryW(L"coredll.dll")),
          key_(std::wstring(kPlatformSettingsKey) + L"-test-" +
               std::to_wstring(GetCurrentProcessId())) {
        StoreKey(key_.c_str());
    }
    ~CoreLibrary() {
        StoreKey(nullptr);
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, key_.c_str());
        FreeLibrary(module_);
    }
    const std::wstring& key() const { return key_; }
    bool Get(GUID* id) const { return Fn("SipGetCurrentIM")(id); }
    bool Set(GUID id) const { return Fn("SipSetCurrentIM")(&id); }

private:
    using Sip = BOOL (*)(CLSID*);
    Sip Fn(const char* name) const {
        return reinterpret_cast<Sip>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
    }
    void StoreKey(const wchar_t* key) const {
        auto fn = reinterpret_cast<void (*)(const wchar_t*)>(
            reinterpret_cast<void*>(GetProcAddress(module_, "SipStoreKeyForTesting")));
        ASSERT_NE(nullptr, fn);
        fn(key);
    }
    HMODULE module_;
    std::wstring key_;
};

std::wstring ClassesValue(const std::wstring& subkey, const wchar_t* name) {
    wchar_t text[512] = {};
    DWORD size = sizeof(text);
    if (RegGetValueW(HKEY_CLASSES_ROOT, subkey.c_str(), name, RRF_RT_REG_SZ, nullptr, text,
                     &size) != ERROR_SUCCESS)
        return L"<missing>";
    return text;
}

TEST(KeypadInputMethod, RegistrationUnderClassesRoot) {
    const std::wstring key = L"CLSID\\{14D2E69D-4408-4753-BC23-150351823725}";
    RegDeleteTreeW(HKEY_CLASSES_ROOT, key.c_str());
    RegisterKeypadInputMethod(L"C:\\Program Files\\Tarn-Wick\\");
    EXPECT_EQ(L"TK Keypad", ClassesValue(key, nullptr));
    DWORD mode = 0, size = sizeof(mode);
    EXPECT_EQ(ERROR_SUCCESS, RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), L"KBMode",
                                          RRF_RT_REG_DWORD, nullptr, &mode, &size));
    EXPECT_EQ(5u, mode);
    EXPECT_EQ(L"C:\\Program Files\\Tarn-Wick\\TKIM.dll,0",
              ClassesValue(key + L"\\DefaultIcon", nullptr));
    EXPECT_EQ(L"C:\\Program Files\\Tarn-Wick\\TKIM.dll",
              ClassesValue(key + L"\\InprocServer32", nullptr));
    EXPECT_EQ(L"1", ClassesValue(key + L"\\IsSIPInputMethod", nullptr));
    RegDeleteTreeW(HKEY_CLASSES_ROOT, key.c_str());
}

TEST(KeypadInputMethod, SelectionKeepsTheFirstPreviousAndRestoresIt) {
    CoreLibrary core;
    ASSERT_TRUE(core.Set(kOther));
    std::optional<GUID> previous;
    SelectKeypadInputMethod(&previous, nullptr); // nothing happens
    EXPECT_FALSE(previous.has_value());

    SelectKeypadInputMethod(&previous, &kKeypadInputMethod);
    GUID current{};
    ASSERT_TRUE(core.Get(&current));
    EXPECT_TRUE(IsEqualGUID(kKeypadInputMethod, current));
    ASSERT_TRUE(previous.has_value());
    EXPECT_TRUE(IsEqualGUID(kOther, *previous));

    SelectKeypadInputMethod(&previous, &kThird); // a second selection keeps the first previous
    EXPECT_TRUE(IsEqualGUID(kOther, *previous));

    GUID restore = *previous; // what the settings do at exit
    SelectKeypadInputMethod(&previous, &restore);
    ASSERT_TRUE(core.Get(&current));
    EXPECT_TRUE(IsEqualGUID(kOther, current));
}

TEST(KeypadInputMethod, UnreadablePreviousIsNotKept) {
    CoreLibrary core;
    const BYTE damaged[3] = {1, 2, 3};
    RegSetKeyValueW(HKEY_LOCAL_MACHINE, core.key().c_str(), L"CurrentIM", REG_BINARY, damaged,
                    sizeof(damaged));
    std::optional<GUID> previous;
    SelectKeypadInputMethod(&previous, &kKeypadInputMethod);
    EXPECT_FALSE(previous.has_value());
    GUID current{};
    ASSERT_TRUE(core.Get(&current));
    EXPECT_TRUE(IsEqualGUID(kKeypadInputMethod, current));
}

} // namespace
