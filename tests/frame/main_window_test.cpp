#include "frame/main_window.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/init_instance.h"

namespace {

COPYDATASTRUCT Data(ULONG_PTR kind, const void* bytes, size_t size) {
    COPYDATASTRUCT data{};
    data.dwData = kind;
    data.cbData = static_cast<DWORD>(size);
    data.lpData = const_cast<void*>(bytes);
    return data;
}

TEST(CommandLineData, AcceptsTerminatedTextThatFits) {
    const wchar_t path[] = L"\\Tours\\a.tur";
    wchar_t out[32];
    COPYDATASTRUCT data = Data(kCommandLineData, path, sizeof(path));
    ASSERT_TRUE(ReadCommandLineData(&data, out, 32));
    EXPECT_STREQ(path, out);

    data = Data(kCommandLineData, nullptr, 0);
    wcscpy(out, L"old");
    ASSERT_TRUE(ReadCommandLineData(&data, out, 32)) << "a start without arguments";
    EXPECT_STREQ(L"", out);
}

TEST(CommandLineData, RefusesForeignOddOrOversizedData) {
    const wchar_t path[] = L"\\Tours\\a.tur";
    std::vector<wchar_t> large(64, L'x');
    large.back() = 0;
    wchar_t out[32];
    COPYDATASTRUCT cases[] = {
        Data(0x3225, path, sizeof(path)),
        Data(kCommandLineData, path, sizeof(path) - 1),
        Data(kCommandLineData, large.data(), large.size() * sizeof(wchar_t)),
        Data(kCommandLineData, nullptr, 8),
    };
    for (const COPYDATASTRUCT& data : cases) {
        wcscpy(out, L"old");
        EXPECT_FALSE(ReadCommandLineData(&data, out, 32)) << data.cbData;
        EXPECT_STREQ(L"", out);
    }
    EXPECT_FALSE(ReadCommandLineData(nullptr, out, 32));
}

TEST(CommandLineData, UnterminatedTextIsCutAndTerminated) {
    const wchar_t text[4] = {L'a', L'b', L'c', L'd'}; // no terminating zero
    wchar_t out[4] = {L'#', L'#', L'#', L'#'};
    COPYDATASTRUCT data = Data(kCommandLineData, text, sizeof(text));
    ASSERT_TRUE(ReadCommandLineData(&data, out, 4));
    EXPECT_STREQ(L"abc", out);
    wchar_t roomy[8];
    ASSERT_TRUE(ReadCommandLineData(&data, roomy, 8));
    EXPECT_STREQ(L"abcd", roomy) << "nothing read past the data";
}

} // namespace
