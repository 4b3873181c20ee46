#include "core/file_filter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const wchar_t kFilter[] = L"Maps\0*.cal;*.TKM;*.kap\0Tours\0*.tur\0Pictures\0*.jp*;*.png\0";
const wchar_t kAll[] = L"Tours\0*.tur\0All files\0*.*\0";

TEST(FileFilter, MatchesFilter) {
    struct Case {
        const wchar_t* name;
        const wchar_t* filter;
        int index;
        bool expected;
    };
    const Case cases[] = {
        {L"alps.tkm", kFilter, -1, true},
        {L"alps.TKM", kFilter, 0, true},
        {L"alps.kap", kFilter, 0, true},  // the last pattern of a pair
        {L"alps.tkm", kFilter, 1, false}, // only the pair asked for
        {L"day.TUR", kFilter, 1, true},
        {L"day.tur", kFilter, 3, false},  // no such pair
        {L"alps.tk", kFilter, -1, false}, // same letters, not the same length
        {L"alps.tkmx", kFilter, -1, false},
        {L"photo.jpg", kFilter, 2, false}, // "jp*" is no wildcard
        {L"photo.jp*", kFilter, 2, true},
        {L"a.b\\tkm", kFilter, -1, false},
        {L"noext", kFilter, -1, false},
        {L"noext", kAll, -1, true}, // "*.*" matches every name
        {L"x.anything", kAll, 1, true},
        {L"x.anything", kAll, 0, false},
        {L"x.tur", L"\0", -1, false},
        {L"x.tur", L"Broken\0", -1, false}, // a description without patterns
        {nullptr, kFilter, -1, false},
        {L"x.tur", nullptr, -1, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MatchesFilter(c.name, c.filter, c.index), c.expected)
            << (c.name ? c.name : L"(null)") << " pair " << c.index;
}

TEST(FileFilter, NextListTokenWalksTheDescriptions) {
    std::vector<std::wstring> descriptions;
    std::vector<std::wstring> patterns;
    size_t position = 0;
    size_t next = 0;
    while (NextListToken(kFilter, &position, &next)) {
        descriptions.push_back(kFilter + position);
        patterns.push_back(kFilter + next); // a pattern follows its description
        position = next;
    }
    EXPECT_EQ(descriptions, (std::vector<std::wstring>{L"Maps", L"Tours", L"Pictures"}));
    EXPECT_EQ(patterns,
              (std::vector<std::wstring>{L"*.cal;*.TKM;*.kap", L"*.tur", L"*.jp*;*.png"}));

    // Strings that do not begin with "*" are all steps of their own; only one is passed over.
    const wchar_t list[] = L"a\0*x\0*y\0b\0";
    position = 0;
    ASSERT_TRUE(NextListToken(list, &position, &next));
    EXPECT_EQ(position, 0u);
    EXPECT_EQ(next, 2u);
    position = next;
    ASSERT_TRUE(NextListToken(list, &position, &next));
    EXPECT_STREQ(list + position, L"*y");
    position = next;
    ASSERT_TRUE(NextListToken(list, &position, &next));
    EXPECT_STREQ(list + position, L"b");
    position = next;
    EXPECT_FALSE(NextListToken(list, &position, &next));

    position = 0;
    EXPECT_FALSE(NextListToken(L"\0", &position, &next));
    EXPECT_FALSE(NextListToken(L"*only\0", &position, &next));
    EXPECT_FALSE(NextListToken(nullptr, &position, &next));
}

} // namespace
