#include "core/reg_text.h"
#include "tests/support/program_key_scope.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

namespace {

std::string Narrow(const std::wstring& w) {
    return std::string(w.begin(), w.end());
}

struct ParsedValue {
    DWORD type = REG_NONE;
    std::vector<uint8_t> data;
};

ParsedValue Read(const ProgramKeyScope& key, const wchar_t* name) {
    ParsedValue v;
    std::vector<uint8_t> data(8192);
    DWORD size = static_cast<DWORD>(data.size());
    if (RegGetValueW(HKEY_LOCAL_MACHINE, key.path().c_str(), name, RRF_RT_ANY | RRF_NOEXPAND,
                     &v.type, data.data(), &size) != ERROR_SUCCESS)
        return ParsedValue();
    data.resize(size);
    v.data = data;
    return v;
}

void Parse(const std::string& text) {
    RegTextParser(text.data(), text.size());
}

TEST(RegTextParser, ValueLineForms) {
    struct Case {
        const char* line;
        const wchar_t* name; // value to look at
        DWORD type;          // REG_NONE: nothing written
        std::vector<uint8_t> data;
    };
    auto sz = [](const wchar_t* s) {
        std::vector<uint8_t> d(reinterpret_cast<const uint8_t*>(s),
                               reinterpret_cast<const uint8_t*>(s + wcslen(s) + 1));
        return d;
    };
    const Case cases[] = {
        {"\"Port\"=\"COM6:\"", L"Port", REG_SZ, sz(L"COM6:")},
        {"\"Eq\"=\"a=b c\"", L"Eq", REG_SZ, sz(L"a=b c")},
        {"\"Q\"=\"say \"hi\" now\"", L"Q", REG_SZ, sz(L"say \"hi\" now")},
        {"\"Open\"=\"no closing", L"Open", REG_SZ, sz(L"no closing")},
        {"\"Blank\"=\"\"", L"Blank", REG_SZ, sz(L"")},
        {"@=\"at default\"", L"", REG_SZ, sz(L"at default")},
        {"\"\"=\"quote default\"", L"", REG_SZ, sz(L"quote default")},
        {"\"D\"=dword:0000002a", L"D", REG_DWORD, {0x2a, 0, 0, 0}},
        {"\"Dmax\"=dword:ffffffff", L"Dmax", REG_DWORD, {0xff, 0xff, 0xff, 0xff}},
        {"\"Dshort\"=dword:1", L"Dshort", REG_DWORD, {1, 0, 0, 0}},
        {"\"Dbad\"=dword:zz", L"Dbad", REG_NONE, {}},
        {"\"Dlong\"=dword:123456789", L"Dlong", REG_NONE, {}},
        {"Dnoquote=dword:5", L"Dnoquote", REG_NONE, {}},
        {"\"H\"=hex:01,ab,FF", L"H", REG_BINARY, {0x01, 0xab, 0xff}},
        {"\"Hempty\"=hex:", L"Hempty", REG_BINARY, {}},
        {"\"Hbad\"=hex:01,zz", L"Hbad", REG_NONE, {}},
        {"no equals sign", L"no equals sign", REG_NONE, {}},
    };
    for (const Case& c : cases) {
        ProgramKeyScope key;
        Parse("[HKEY_LOCAL_MACHINE\\" + Narrow(key.path()) + "]\r\n" + c.line + "\r\n");
        ParsedValue v = Read(key, c.name);
        EXPECT_EQ(c.type, v.type) << c.line;
        if (c.type != REG_NONE) {
            EXPECT_EQ(c.data, v.data) << c.line;
        }
    }
}

TEST(RegTextParser, LongFieldsAreTakenWhole) {
    ProgramKeyScope key;
    std::string name(700, 'n');
    std::string text(5000, 't');
    std::string hex;
    for (int i = 0; i < 800; ++i)
        hex += i ? ",5a" : "5a";
    Parse("[HKEY_LOCAL_MACHINE\\" + Narrow(key.path()) + "]\r\n\"" + name + "\"=\"" + text +
          "\"\r\n\"bin\"=hex:" + hex + "\r\n");
    std::wstring value;
    EXPECT_TRUE(key.GetString(std::wstring(name.begin(), name.end()).c_str(), &value));
    EXPECT_EQ(std::wstring(text.begin(), text.end()), value);
    EXPECT_EQ(std::vector<uint8_t>(800, 0x5a), Read(key, L"bin").data);
}

TEST(RegTextParser, LineEndingsAndTheLastLine) {
    struct Case {
        const char* endings; // the text is "[key]" E "\"A\"=dword:1" E "\"B\"=dword:2" E2
        const char* last;
        bool a, b;
    };
    const Case cases[] = {
        {"\r\n", "\r\n", true, true},  {"\n", "\n", true, true},     {"\r", "\r", true, true},
        {"\r\n\r\n", "", true, false}, {"\n\r", "\r\n", true, true}, {"\r\n", "", true, false},
        {"\r\n", "\n", true, true},
    };
    for (const Case& c : cases) {
        ProgramKeyScope key;
        std::string e = c.endings;
        Parse("[HKEY_LOCAL_MACHINE\\" + Narrow(key.path()) + "]" + e + "\"A\"=dword:1" + e +
              "\"B\"=dword:2" + c.last);
        DWORD d = 0;
        EXPECT_EQ(c.a, key.GetDword(L"A", &d)) << c.endings << "|" << c.last;
        EXPECT_EQ(c.b, key.GetDword(L"B", &d)) << c.endings << "|" << c.last;
    }
}

TEST(RegTextParser, UnknownRootDropsValuesUntilNextKeyLine) {
    ProgramKeyScope key;
    std::string path = Narrow(key.path());
    Parse("[HKEY_LOCAL_MACHINE\\" + path +
          "]\r\n\"A\"=dword:1\r\n"
          "[HKEY_CURRENT_CONFIG\\" +
          path +
          "]\r\n\"B\"=dword:2\r\n"
          "[HKEY_LOCAL_MACHINE_X\\" +
          path +
          "]\r\n\"C\"=dword:3\r\n"
          "\"D\"=dword:4\r\n"
          "[HKEY_LOCAL_MACHINE\\" +
          path + "\\Sub]\r\n\"E\"=dword:5\r\n");
    DWORD d = 0;
    EXPECT_TRUE(key.GetDword(L"A", &d));
    EXPECT_FALSE(key.GetDword(L"B", &d));
    EXPECT_FALSE(key.GetDword(L"C", &d));
    EXPECT_FALSE(key.GetDword(L"D", &d));
    EXPECT_TRUE(key.GetDword(L"E", &d, L"Sub"));
    // Values before any key line have nowhere to go.
    ProgramKeyScope other;
    Parse("\"A\"=dword:1\r\n");
    EXPECT_FALSE(other.Exists());
}

} // namespace
