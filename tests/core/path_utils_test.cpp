#include "core/path_utils.h"

#include <algorithm>
#include <cwchar>

#include <gtest/gtest.h>

#include <string>

namespace {

struct PartsCase {
    const wchar_t* path;
    const wchar_t* fileName;
    const wchar_t* baseName;
    const wchar_t* stripped;
    const wchar_t* directory;
};

TEST(PathUtils, PartsOfAPath) {
    const PartsCase cases[] = {
        {L"\\Maps\\alps.tkm", L"alps.tkm", L"alps", L"\\Maps\\alps", L"\\Maps"},
        // A dot in a folder name is no extension.
        {L"\\My.Maps\\map", L"map", L"map", L"\\My.Maps\\map", L"\\My.Maps"},
        {L"\\My.Maps\\map.v2.cal", L"map.v2.cal", L"map.v2", L"\\My.Maps\\map.v2", L"\\My.Maps"},
        {L"plain", L"plain", L"plain", L"plain", L"plain"},
        {L"a.b", L"a.b", L"a", L"a", L"a.b"},
        {L"\\Folder\\", L"", L"", L"\\Folder\\", L"\\Folder"},
        // "/" separates folders for the directory part and the extension, not for the name.
        {L"tiles/12/x.png", L"tiles/12/x.png", L"tiles/12/x", L"tiles/12/x", L"tiles/12"},
        {L"web.d/tile", L"web.d/tile", L"web", L"web.d/tile", L"web.d"},
        {L"", L"", L"", L"", L""},
    };
    for (const auto& c : cases) {
        wchar_t out[260];
        EXPECT_TRUE(GetFileNamePart(c.path, out));
        EXPECT_STREQ(out, c.fileName) << c.path;
        EXPECT_TRUE(GetBaseName(c.path, out));
        EXPECT_STREQ(out, c.baseName) << c.path;
        EXPECT_TRUE(StripExtension(c.path, out));
        EXPECT_STREQ(out, c.stripped) << c.path;
        EXPECT_TRUE(GetDirectoryPart(c.path, out));
        EXPECT_STREQ(out, c.directory) << c.path;
    }
}

TEST(PathUtils, OutputIsNeverWrittenPastItsSizeNorCut) {
    const wchar_t* path = L"\\Storage Card\\Maps\\alps.tkm";
    using Op = bool (*)(const wchar_t*, wchar_t*, size_t);
    const Op ops[] = {GetFileNamePart, GetBaseName, StripExtension, GetDirectoryPart};
    for (Op op : ops) {
        wchar_t full[64];
        ASSERT_TRUE(op(path, full, 64));
        size_t need = std::wstring(full).size() + 1;
        wchar_t out[64];
        std::fill(std::begin(out), std::end(out), L'#');
        EXPECT_FALSE(op(path, out, need - 1)) << full;
        EXPECT_EQ(out[0], L'\0') << full; // empty rather than a cut path
        EXPECT_EQ(out[need - 1], L'#') << full;
        EXPECT_TRUE(op(path, out, need)) << full;
        EXPECT_STREQ(out, full);
        EXPECT_FALSE(op(path, nullptr, 10));
        EXPECT_FALSE(op(path, out, 0));
    }
    // Null paths read as empty.
    wchar_t out[8];
    EXPECT_TRUE(GetFileNamePart(nullptr, out));
    EXPECT_STREQ(out, L"");
}

TEST(PathUtils, OutputMayBeTheInputBuffer) {
    wchar_t buffer[64] = L"\\Maps\\alps.tkm";
    ASSERT_TRUE(GetFileNamePart(buffer, buffer));
    EXPECT_STREQ(buffer, L"alps.tkm");
    wcscpy(buffer, L"\\Maps\\alps.tkm");
    ASSERT_TRUE(GetBaseName(buffer, buffer));
    EXPECT_STREQ(buffer, L"alps");
    wcscpy(buffer, L"\\Maps\\alps.tkm");
    ASSERT_TRUE(StripExtension(buffer, buffer));
    EXPECT_STREQ(buffer, L"\\Maps\\alps");
}

TEST(PathUtils, FileNamePartAsEightBitText) {
    char out[16];
    std::fill(std::begin(out), std::end(out), '#');
    EXPECT_TRUE(GetFileNamePartA(L"\\Tours\\Alps 2026.TUR", out));
    EXPECT_STREQ(out, "Alps 2026.TUR");
    EXPECT_FALSE(GetFileNamePartA(L"\\Tours\\Alps 2026.TUR", out, 13)); // needs 14
    EXPECT_STREQ(out, "");
    std::fill(std::begin(out), std::end(out), '#');
    EXPECT_FALSE(GetFileNamePartA(L"\\Tours\\a", out, 1));
    EXPECT_EQ(out[0], '\0');
    EXPECT_EQ(out[1], '#');
    EXPECT_TRUE(GetFileNamePartA(L"\\Tours\\", out));
    EXPECT_STREQ(out, "");
}

TEST(PathUtils, HasExtension) {
    struct Case {
        const wchar_t* path;
        const wchar_t* extension;
        bool expected;
    };
    const Case cases[] = {
        {L"map.tkm", L"TKM", true},       {L"\\A\\map.TKM", L"tkm", true},
        {L"a.b\\c", L"c", false},         {L"a.b\\c", L"b\\c", true},
        {L"anything", L"*", true},        {L"", L"*", true},
        {L"noext", L"noext", false},      {L"map.tkm", L"tk", false},
        {L"map.tkm", L"tkmx", false},     {L"map.", L"", true},
        {L"archive.tar.gz", L"gz", true}, {L"archive.tar.gz", L"tar.gz", false},
        {L"karte.ÄÖÜ", L"äöü", true},     {L"map.tkm", nullptr, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(HasExtension(c.path, c.extension), c.expected)
            << c.path << " / " << (c.extension ? c.extension : L"(null)");
}

TEST(PathUtils, PathSegments) {
    struct Case {
        const wchar_t* path;
        int n;
        const wchar_t* segment; // nullptr: there is none
    };
    const Case cases[] = {
        {L"\\Storage Card\\Maps\\Alps", 0, L"\\Storage Card"},
        {L"\\Storage Card\\Maps\\Alps", 1, L"\\Maps"},
        {L"\\Storage Card\\Maps\\Alps", 2, L"\\Alps"},
        {L"\\Storage Card\\Maps\\Alps", 3, nullptr},
        {L"C:/tiles/12", 1, L"/tiles"},
        {L"relative\\part", 0, L"relative"},
        // A list of two folders: the list separator is a segment of its own.
        {L"\\Brisel SD Card;\\My Flash Disk", 0, L"\\Brisel SD Card"},
        {L"\\Brisel SD Card;\\My Flash Disk", 1, L"\\"},
        {L"\\Brisel SD Card;\\My Flash Disk", 2, L"\\My Flash Disk"},
        {L"\\A,B", 1, L"\\B"},
        {L"\\", 0, L"\\"},
        {L"", 0, nullptr},
        {L"\\A", -1, nullptr},
    };
    for (const auto& c : cases) {
        wchar_t out[64];
        std::fill(std::begin(out), std::end(out), L'#');
        EXPECT_EQ(GetPathSegment(c.path, c.n, out), c.segment != nullptr) << c.path << " " << c.n;
        EXPECT_STREQ(out, c.segment ? c.segment : L"") << c.path << " " << c.n;
    }
    wchar_t small[5];
    EXPECT_FALSE(GetPathSegment(L"\\Storage Card\\Maps", 0, small));
    EXPECT_STREQ(small, L"");
}

TEST(PathUtils, SlashConversionsAndUrlSchemes) {
    wchar_t text[64] = L"\\Maps/tiles\\12";
    BackslashesToSlashes(text);
    EXPECT_STREQ(text, L"/Maps/tiles/12");
    SlashesToBackslashes(text);
    EXPECT_STREQ(text, L"\\Maps\\tiles\\12");
    BackslashesToSlashes(nullptr);
    SlashesToBackslashes(nullptr);

    struct Case {
        const wchar_t* in;
        const wchar_t* out;
    };
    const Case cases[] = {
        {L"file:\\Maps\\a.kml", L"\\Maps\\a.kml"},
        {L"FILE:x", L"x"},
        {L"http://host/x", L"host/x"},
        {L"HTTP://host", L"host"},
        {L"https://host/x", L"https://host/x"}, // another scheme stays
        {L"ftp://host", L"ftp://host"},
        {L"file", L"file"},
        {L"http:/", L"http:/"},
        {L"", L""},
        {L"file:http://x", L"http://x"}, // only one scheme is removed
    };
    for (const auto& c : cases) {
        wchar_t buffer[64];
        wcscpy(buffer, c.in);
        StripUrlScheme(buffer);
        EXPECT_STREQ(buffer, c.out) << c.in;
    }
    StripUrlScheme(nullptr);
}

} // namespace
