#include "core/language_module.h"

#include <gtest/gtest.h>

#include "core/resource_module.h"
#include "resources/resource.h"

namespace {

class LanguageTest : public ::testing::Test {
protected:
    LanguageTest() { ResetLanguageForTesting(); }
    ~LanguageTest() override { ResetLanguageForTesting(); }

    static std::wstring Text(UINT id) {
        wchar_t text[128];
        LoadResString(id, text, 128);
        return text;
    }
    LanguageModule language;
};

TEST_F(LanguageTest, GermanComesFromItsLibrary) {
    language.SetCode(L"DEU");
    language.LoadResourceDll();
    HINSTANCE german = GetResourceModule();
    EXPECT_NE(GetModuleHandleW(nullptr), german);
    EXPECT_EQ(L"Die Aufzeichnung der aktuellen Tour ist angehalten!", Text(IDS_RECORDING_PAUSED));
    EXPECT_EQ(L"Tarn-Wick", Text(IDS_APP_CLASS));
    EXPECT_EQ('O', language.eastLetter);
    EXPECT_EQ(12, language.firstImageIndex);
    EXPECT_EQ(15, language.secondImageIndex);

    // The same code again loads and frees nothing.
    language.LoadResourceDll();
    EXPECT_EQ(german, GetResourceModule());
    EXPECT_EQ(german, GetModuleHandleW(L"DEU.DLL"));

    language.SetCode(L"");
    language.LoadResourceDll();
    EXPECT_EQ(GetModuleHandleW(nullptr), GetResourceModule());
    EXPECT_EQ(nullptr, GetModuleHandleW(L"DEU.DLL")) << "the library was freed";
    EXPECT_EQ(L"Recording of the current tour is paused!", Text(IDS_RECORDING_PAUSED));
    EXPECT_EQ('E', language.eastLetter);
    EXPECT_EQ(13, language.firstImageIndex);
}

TEST_F(LanguageTest, MissingLibraryFallsBackToTheProgramsOwnTexts) {
    language.SetCode(L"DEU");
    language.LoadResourceDll();
    language.SetCode(L"SWE"); // no SWE.DLL beside the program
    language.LoadResourceDll();
    EXPECT_EQ(GetModuleHandleW(nullptr), GetResourceModule());
    EXPECT_EQ(L"Recording of the current tour is paused!", Text(IDS_RECORDING_PAUSED));
    EXPECT_EQ('E', language.eastLetter);
    EXPECT_EQ(13, language.firstImageIndex);
    EXPECT_EQ(16, language.secondImageIndex);
}

TEST_F(LanguageTest, TableCodes) {
    EXPECT_STREQ(L"", LanguageModule::GetTableCode(0));
    EXPECT_STREQ(L"DEU", LanguageModule::GetTableCode(1));
    EXPECT_STREQ(L"SWE", LanguageModule::GetTableCode(2));
    EXPECT_STREQ(L"ABC", LanguageModule::GetTableCode(3));
    EXPECT_STREQ(L"ABC", LanguageModule::GetTableCode(99));
    EXPECT_TRUE(IsKnownLanguageCode(L""));
    EXPECT_FALSE(IsKnownLanguageCode(L"ABC"));
    LanguageModule fresh;
    EXPECT_STREQ(L"", fresh.code);
    EXPECT_EQ('E', fresh.eastLetter);
    EXPECT_EQ(16, fresh.secondImageIndex);
}

} // namespace
