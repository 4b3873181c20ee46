#include "core/crc32.h"
#include "core/reg_text.h"
#include "core/settings_backup.h"
#include "tests/support/program_key_scope.h"
#include "tests/support/scratch_dir.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

namespace {

std::string Narrow(const std::wstring& w) {
    return std::string(w.begin(), w.end());
}

std::string KeyLine(const ProgramKeyScope& key) {
    return "\r\n[HKEY_LOCAL_MACHINE\\" + Narrow(key.path()) + "]\r\n";
}

std::vector<uint8_t> ReadBinary(const ProgramKeyScope& key, const wchar_t* name,
                                const wchar_t* subkey = nullptr) {
    std::wstring full = subkey ? key.path() + L"\\" + subkey : key.path();
    std::vector<uint8_t> data(4096);
    DWORD size = static_cast<DWORD>(data.size());
    if (RegGetValueW(HKEY_LOCAL_MACHINE, full.c_str(), name, RRF_RT_REG_BINARY, nullptr,
                     data.data(), &size) != ERROR_SUCCESS)
        return {};
    data.resize(size);
    return data;
}

TEST(Crc32, StandardCheckValue) {
    EXPECT_EQ(0xCBF43926u, Crc32("123456789", 9));
    EXPECT_EQ(0u, Crc32("", 0));
}

TEST(SettingsBackup, ScrambleRoundTripsAndHidesTheText) {
    for (size_t n : {8u, 9u, 40u, 100u}) {
        std::vector<uint8_t> plain(n);
        for (size_t i = 0; i < n; ++i)
            plain[i] = static_cast<uint8_t>(i * 7 + 1);
        std::vector<uint8_t> buffer(plain);
        buffer.resize(n + 5);
        ScrambleBackup(buffer.data(), n);
        EXPECT_NE(0, memcmp(buffer.data() + 2, plain.data(), n));
        UnscrambleBackup(buffer.data(), n + 2);
        EXPECT_EQ(0, memcmp(buffer.data(), plain.data(), n)) << n;
    }
}

TEST(SettingsBackup, OneDwordKeyGivesExactTextAndFileOfLengthPlusTen) {
    ProgramKeyScope key;
    ScratchDir dir;
    key.SetDword(L"A", 1);
    std::string text;
    size_t length = RegTextWriter(key.path(), &text);
    EXPECT_EQ(KeyLine(key) + "\"A\"=dword:00000001\r\n", text);
    EXPECT_EQ(text.size(), length);
    EXPECT_EQ(length, RegTextWriter(key.path(), nullptr));

    std::wstring path = dir / kSettingsBackupName;
    SettingsBackupExport(path, true);
    std::string file = ScratchDir::ReadFile(path);
    EXPECT_EQ(length + 10, file.size());
    EXPECT_EQ(text, ScratchDir::ReadFile(path + L".reg"));
    DWORD attributes = GetFileAttributesW(path.c_str());
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_SYSTEM);
    // A second export re-creates the hidden file.
    key.SetDword(L"B", 2);
    SettingsBackupExport(path, false);
    EXPECT_EQ(length + 10 + 20, ScratchDir::ReadFile(path).size());
}

TEST(SettingsBackup, RoundTripRestoresValuesAndSubkeys) {
    ScratchDir dir;
    std::wstring path = dir / kSettingsBackupName;
    // A folder list far above the old fixed 1024-byte value buffer.
    std::wstring folders;
    for (int i = 0; i < 9; ++i)
        folders += L"\\Storage Card\\Tarn-Wick\\Maps and tours number " + std::to_wstring(i) +
                   std::wstring(150, L'x') + L";";
    const std::vector<uint8_t> blob = {0x00, 0x01, 0xAB, 0xFF};
    {
        ProgramKeyScope key;
        key.SetString(L"COM Port", L"COM6:");
        key.SetString(L"Folders", folders);
        key.SetString(L"Empty", L"");
        key.SetString(L"SelTour", L"My \"best\" tour");
        key.SetDword(L"cfg8", 0x65001E20);
        RegSetKeyValueW(HKEY_LOCAL_MACHINE, key.path().c_str(), L"Blob", REG_BINARY, blob.data(),
                        static_cast<DWORD>(blob.size()));
        RegSetKeyValueW(HKEY_LOCAL_MACHINE, key.path().c_str(), L"NoData", REG_BINARY, nullptr, 0);
        key.SetString(L"Filename", L"\\Tours\\a.tur", L"Tour\\Monday");
        key.SetDword(L"Colour", 7, L"Tour\\Monday");
        SettingsBackupExport(path, false);

        RegDeleteTreeW(HKEY_LOCAL_MACHINE, key.path().c_str());
        ASSERT_FALSE(key.Exists());
        EXPECT_TRUE(SettingsBackupImport(path, false));
        std::wstring s;
        DWORD d = 0;
        EXPECT_TRUE(key.GetString(L"COM Port", &s));
        EXPECT_EQ(L"COM6:", s);
        EXPECT_TRUE(key.GetString(L"Folders", &s));
        EXPECT_EQ(folders, s);
        EXPECT_TRUE(key.GetString(L"SelTour", &s));
        EXPECT_EQ(L"My \"best\" tour", s);
        EXPECT_TRUE(key.GetString(L"Empty", &s));
        EXPECT_EQ(L"", s);
        EXPECT_TRUE(key.GetDword(L"cfg8", &d));
        EXPECT_EQ(0x65001E20u, d);
        EXPECT_EQ(blob, ReadBinary(key, L"Blob"));
        EXPECT_TRUE(ReadBinary(key, L"NoData").empty());
        EXPECT_TRUE(key.GetString(L"Filename", &s, L"Tour\\Monday"));
        EXPECT_EQ(L"\\Tours\\a.tur", s);
        EXPECT_TRUE(key.GetDword(L"Colour", &d, L"Tour\\Monday"));
        EXPECT_EQ(7u, d);
    }
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(path.c_str()));
}

// Every single flipped byte and every truncation must leave the registry alone.
TEST(SettingsBackup, DamagedOrForeignFilesAreIgnored) {
    ProgramKeyScope key;
    ScratchDir dir;
    std::wstring path = dir / kSettingsBackupName;
    key.SetDword(L"A", 1);
    key.SetString(L"Name", L"value");
    SettingsBackupExport(path, false);
    const std::string good = ScratchDir::ReadFile(path);
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, key.path().c_str());

    auto rewrite = [&](const std::string& bytes) {
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        dir.WriteFile(kSettingsBackupName, bytes);
    };
    for (size_t i = 0; i < good.size(); ++i) {
        if (i < 2)
            continue; // the marker bytes are not checked
        std::string bad = good;
        bad[i] = static_cast<char>(bad[i] ^ 0x40);
        rewrite(bad);
        EXPECT_FALSE(SettingsBackupImport(path, false)) << "flipped byte " << i;
    }
    for (size_t cut : {size_t{0}, size_t{1}, size_t{9}, size_t{10}, good.size() - 1}) {
        rewrite(good.substr(0, cut));
        EXPECT_FALSE(SettingsBackupImport(path, false)) << "cut at " << cut;
    }
    rewrite(good + "extra");
    EXPECT_FALSE(SettingsBackupImport(path, false));
    rewrite("[HKEY_LOCAL_MACHINE\\x]\r\n\"A\"=dword:2\r\n");
    EXPECT_FALSE(SettingsBackupImport(path, false));
    EXPECT_FALSE(key.Exists());

    // The delete flag removes even a rejected file; a missing file is no error.
    EXPECT_FALSE(SettingsBackupImport(path, true));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(path.c_str()));
    EXPECT_FALSE(SettingsBackupImport(path, true));

    rewrite(good);
    EXPECT_TRUE(SettingsBackupImport(path, true));
    DWORD d = 0;
    EXPECT_TRUE(key.GetDword(L"A", &d));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(path.c_str()));
}

} // namespace
