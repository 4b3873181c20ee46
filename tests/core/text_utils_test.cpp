#include "core/text_utils.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(TextUtils, ContainsNoCase) {
    struct Case {
        const wchar_t* text;
        const wchar_t* part;
        bool expected;
    };
    const Case cases[] = {
        {L"Transverse Mercator", L"mercator", true},
        {L"Transverse Mercator", L"TRANSVERSE", true},
        {L"Mercator", L"Transverse Mercator", false},
        {L"Lambert Conformal Conic", L"azimuthal", false},
        {L"Straße nach Köln", L"KÖLN", true},
        {L"abc", L"", true},
        {L"", L"", true},
        {L"", L"a", false},
        {nullptr, L"a", false},
        {L"a", nullptr, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ContainsNoCase(c.text, c.part), c.expected)
            << (c.text ? c.text : L"(null)") << " / " << (c.part ? c.part : L"(null)");

    EXPECT_TRUE(ContainsNoCaseA("N_HH_Brisel 42", "brisel"));
    EXPECT_FALSE(ContainsNoCaseA("UTM zone", "utm32"));
    EXPECT_TRUE(ContainsNoCaseA("x", ""));
    EXPECT_FALSE(ContainsNoCaseA(nullptr, "x"));
}

TEST(TextUtils, FindLabelSuffix) {
    struct Case {
        const wchar_t* in;
        const wchar_t* out;
        bool cut;
    };
    const Case cases[] = {
        {L"Storage Card: (1.2 GB free)", L"Storage Card", true},
        {L"Storage Card:  (1.2 GB free)", L"Storage Card:", true},
        {L"Time: 12:30", L"Time: 12:30", false},
        {L"a:(b)", L"a:(b)", false},
        {L"first: (1): (2)", L"first", true},
        {L"Alps", L"Alps", false},
        {L"", L"", false},
    };
    for (const auto& c : cases) {
        wchar_t label[64];
        wcscpy(label, c.in);
        EXPECT_EQ(FindLabelSuffix(label), c.cut) << c.in;
        EXPECT_STREQ(label, c.out) << c.in;
    }
    EXPECT_FALSE(FindLabelSuffix(nullptr));
}

TEST(TextUtils, FindLabelSuffixSearchesOnlyTheFirst260Characters) {
    std::wstring within = std::wstring(257, L'x') + L": ("; // ends at character 260
    std::wstring beyond = std::wstring(258, L'x') + L": ("; // ends at character 261
    EXPECT_TRUE(FindLabelSuffix(&within[0]));
    EXPECT_EQ(wcslen(within.c_str()), 257u);
    EXPECT_FALSE(FindLabelSuffix(&beyond[0]));
    EXPECT_EQ(wcslen(beyond.c_str()), 261u);
}

} // namespace
