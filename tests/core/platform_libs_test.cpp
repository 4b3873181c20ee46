#include "core/platform_libs.h"
#include "platform/oem_info.h"
#include "tests/support/ui_recorder.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace {

// Reads what the fake library's set-level entry was given.
struct FakeProbe {
    explicit FakeProbe(const wchar_t* dll) : module(LoadLibraryW(dll)) {}
    ~FakeProbe() {
        if (module)
            FreeLibrary(module);
    }
    int Call(const char* name) const {
        auto fn =
            reinterpret_cast<int (*)()>(reinterpret_cast<void*>(GetProcAddress(module, name)));
        return fn ? fn() : -99;
    }
    HMODULE module;
};

struct OemScope {
    explicit OemScope(const wchar_t* oem) { SetOemInfoForTesting(oem); }
    ~OemScope() {
        SetOemInfoForTesting(L"");
        CloseDianaPlatform();
        CloseTp300Platform();
    }
};

TEST(PlatformLibs, CompleteDianaLibraryCarriesBacklightLevels) {
    OemScope oem(L"NAVIGON DIANA/NOHA v2");
    ASSERT_EQ(1, BindDianaLibrary(L"fake_hwlayer_full.dll")); // no box: every entry found
    FakeProbe probe(L"fake_hwlayer_full.dll");
    for (int level : {1, 3, 6}) {
        EXPECT_EQ(1, DianaSetBacklight(level));
        EXPECT_EQ(level * 100 / 6, probe.Call("FakeLastPercent"));
        EXPECT_EQ(0, probe.Call("FakeLastReserved"));
        EXPECT_EQ(level, DianaGetBacklight());
    }
    CloseDianaPlatform();
    EXPECT_EQ(-1, DianaGetBacklight());
}

TEST(PlatformLibs, MissingEntriesAndLibrariesAreReported) {
    OemScope oem(kDianaOem);
    {
        UiRecorder ui;
        ASSERT_EQ(1, BindDianaLibrary(L"fake_hwlayer_partial.dll"));
        ASSERT_EQ(2u, ui.count()); // ordinals 125 and 116
        for (const UiRequest& r : ui.requests()) {
            EXPECT_EQ(L"Unable to find entry point", r.text);
            EXPECT_EQ(L"Error", r.caption);
        }
        EXPECT_EQ(1, DianaSetBacklight(6)); // unbound: skipped
        EXPECT_EQ(-1, DianaGetBacklight()); // bound, but nothing set: leaves -1
    }
    CloseDianaPlatform();
    {
        UiRecorder ui;
        EXPECT_EQ(0, BindDianaLibrary(L"no_such_library.dll"));
        ASSERT_EQ(1u, ui.count());
        EXPECT_EQ(L"error 0x7E", ui.last().text);
        EXPECT_EQ(L"Error", ui.last().caption);
        EXPECT_EQ(-1, DianaGetBacklight());
    }
}

TEST(PlatformLibs, Tp300LibraryAndPlatformQuery) {
    OemScope oem(L"tp300 platform");
    ASSERT_EQ(1, BindTp300Library(L"fake_marina.dll"));
    FakeProbe probe(L"fake_marina.dll");
    EXPECT_EQ(300, Tp300PlatformQuery());
    EXPECT_EQ(1, Tp300SetBacklight(2));
    EXPECT_EQ(33, probe.Call("FakeLastPercent"));
    EXPECT_EQ(-1, Tp300GetBacklight());
    SetOemInfoForTesting(L"Windows PC");
    EXPECT_EQ(-1, Tp300PlatformQuery());
}

TEST(PlatformLibs, OtherDevicesLoadNothing) {
    OemScope oem(L"Windows PC");
    InitPlatformLibraries(L"C:\\nowhere\\"); // strict UI: any box fails the test
    EXPECT_EQ(-1, DianaGetBacklight());
    EXPECT_EQ(-1, Tp300PlatformQuery());
    ClosePlatformLibraries();
}

} // namespace
