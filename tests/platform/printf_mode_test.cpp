// Pins the project's printf mode: C99 semantics, so "%s" is narrow even in wide formats and
// wide or narrow strings are always named with "%ls" and "%hs".
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>

TEST(PrintfMode, WideAndNarrowConversionsAreExplicit) {
    wchar_t w[64];
    ASSERT_GT(swprintf(w, 64, L"%ls|%hs|%s|%d", L"wide", "narrow", "c99", 7), 0);
    EXPECT_STREQ(w, L"wide|narrow|c99|7");

    char n[64];
    snprintf(n, sizeof(n), "%ls|%s|%.3f|%lld", L"wide", "narrow", 2.5, 1LL << 40);
    EXPECT_STREQ(n, "wide|narrow|2.500|1099511627776");
}

// sscanf's "%lf" gives up on "12.5East" in C99 mode (it reads "12.5E" as a broken exponent);
// number fields followed by letters are therefore read with strtod, which backs off correctly.
TEST(PrintfMode, NumbersBeforeLetterEAreReadWithStrtod) {
    const char* text = "12.5East";
    char* end = nullptr;
    EXPECT_DOUBLE_EQ(strtod(text, &end), 12.5);
    EXPECT_STREQ(end, "East");
}
