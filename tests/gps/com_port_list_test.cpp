// HKEY_LOCAL_MACHINE\Drivers\Active is shared by the whole prefix: SERIAL binary.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "gps/com_port_list.h"

namespace {
const wchar_t kActive[] = L"Drivers\\Active";

class ComPortListTest : public ::testing::Test {
protected:
    void SetUp() override { RegDeleteTreeW(HKEY_LOCAL_MACHINE, kActive); }
    void TearDown() override { RegDeleteTreeW(HKEY_LOCAL_MACHINE, kActive); }

    static void Device(const wchar_t* number, const wchar_t* name, const wchar_t* key) {
        std::wstring path = std::wstring(kActive) + L"\\" + number;
        HKEY h = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, &h, nullptr),
                  ERROR_SUCCESS);
        if (name)
            RegSetValueExW(h, L"Name", 0, REG_SZ, reinterpret_cast<const BYTE*>(name),
                           static_cast<DWORD>((wcslen(name) + 1) * sizeof(wchar_t)));
        if (key)
            RegSetValueExW(h, L"Key", 0, REG_SZ, reinterpret_cast<const BYTE*>(key),
                           static_cast<DWORD>((wcslen(key) + 1) * sizeof(wchar_t)));
        RegCloseKey(h);
    }

    struct Entry {
        int number;
        std::wstring name, key;
        bool operator==(const Entry& o) const {
            return number == o.number && name == o.name && key == o.key;
        }
    };
    static std::vector<Entry> Entries(const ComPortList& list) {
        std::vector<Entry> out;
        for (int i = 0; i < list.Count(); ++i)
            out.push_back({list.GetNumber(i), list.GetName(i), list.GetKey(i)});
        return out;
    }
};
} // namespace

TEST_F(ComPortListTest, ListedPortsInKeyOrderThenTheFixedOnes) {
    Device(L"12", L"BTC3:", L"Drivers\\BuiltIn\\BtSerial");
    Device(L"01", L"COM1:", L"Drivers\\BuiltIn\\Serial");
    Device(L"02", L"COM", L"Drivers\\Short");                // three characters
    Device(L"03", L"GPD0:", L"Drivers\\BuiltIn\\GpsDriver"); // other prefix
    Device(L"04", L"com2:", L"Drivers\\Lower");              // lower case
    Device(L"05", nullptr, L"Drivers\\NoName");
    Device(L"06", L"COM12345678901234567:", L"Drivers\\Long"); // does not fit an entry
    Device(L"1", L"COM9:", L"Drivers\\NotNumberedSo");         // key "1" is not "01"
    ComPortList list;
    list.Build(0);
    std::vector<Entry> expected = {{1, L"COM1:", L"Drivers\\BuiltIn\\Serial"},
                                   {3, L"BTC3:", L"Drivers\\BuiltIn\\BtSerial"},
                                   {6, L"COM6:", L"com6"},
                                   {7, L"COM7:", L"com7"}};
    EXPECT_EQ(Entries(list), expected);
    EXPECT_STREQ(list.GetKeyLeaf(1), L"BtSerial");
    EXPECT_STREQ(list.GetKeyLeaf(2), L"com6");
    // Beyond the count.
    EXPECT_EQ(list.GetNumber(4), 0);
    EXPECT_STREQ(list.GetName(4), L"");
    EXPECT_STREQ(list.GetKey(-1), L"");
    EXPECT_STREQ(list.GetKeyLeaf(9), L"");
}

TEST_F(ComPortListTest, ListedCom6GetsOnlyCom7Appended) {
    Device(L"07", L"COM6:", L"Drivers\\Serial6");
    ComPortList list;
    list.Build(0);
    std::vector<Entry> expected = {{6, L"COM6:", L"Drivers\\Serial6"}, {7, L"COM7:", L"com7"}};
    EXPECT_EQ(Entries(list), expected);
    list.Build(0); // a rebuild starts afresh
    EXPECT_EQ(Entries(list), expected);
}

TEST_F(ComPortListTest, NoPortsGiveAnEmptyList) {
    ComPortList list;
    list.Build(0);
    EXPECT_EQ(list.Count(), 0);
    Device(L"03", L"GPD0:", L"Drivers\\BuiltIn\\GpsDriver");
    list.Build(0);
    EXPECT_EQ(list.Count(), 0);
}

TEST_F(ComPortListTest, FromTheValuesOfTheActiveKey) {
    HKEY h = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kActive, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &h, nullptr),
              ERROR_SUCCESS);
    auto set = [&](const wchar_t* name, const wchar_t* data) {
        RegSetValueExW(h, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data),
                       static_cast<DWORD>((wcslen(data) + 1) * sizeof(wchar_t)));
    };
    set(L"Drivers\\Serial2", L"COM2");
    set(L"Drivers\\TooLong", L"COM123456789012345");
    RegCloseKey(h);
    ComPortList list;
    list.BuildFromValues();
    std::vector<Entry> expected = {{2, L"COM2:", L"Drivers\\Serial2"}};
    EXPECT_EQ(Entries(list), expected);
}

TEST(PortNumberFromName, OnlyExactPortNames) {
    struct Case {
        const wchar_t* name;
        int number;
    } cases[] = {{L"GPS2:", 2}, {L"COM6:", 6},   {L"BTC255:", 255}, {L"COM2", 0},
                 {L"COM0:", 0}, {L"COM256:", 0}, {L"COM02:", 0},    {L"GPD1:", 0},
                 {L"com1:", 0}, {L"COM:", 0},    {L"COM1:x", 0},    {L"", 0}};
    for (const Case& c : cases)
        EXPECT_EQ(PortNumberFromName(c.name), c.number) << c.name;
}
