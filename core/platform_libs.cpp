#include "core/platform_libs.h"

#include "platform/oem_info.h"
#include "platform/proc_address.h"
#include "platform/ui_seam.h"

#include <windows.h>

#include <cstdio>
#include <mutex>

const wchar_t kDianaOem[] = L"Navigon Diana/Noha";
const wchar_t kTp300Oem[] = L"TP300 Platform";

namespace {

using SetLevelFn = int (*)(int percent, int reserved);
using GetLevelFn = int (*)(int* percent);
using QueryFn = int (*)();
using AnyFn = void (*)();

const wchar_t kDianaLibrary[] = L"Hardwarelayer.dll";
const wchar_t kDianaSource[] = L"\\My Flash Disk\\NAVIGON\\Hardwarelayer.dll";
const wchar_t kDianaAllocSource[] = L"\\My Flash Disk\\NAVIGON\\NgAlloc.dll";
const wchar_t kTp300Library[] = L"\\ResidentFlash\\System\\MARINA_API.dll.dll";

// Bound at start-up on the user-interface thread and read from it; the lock keeps a late
// reader on another thread from seeing a half-closed family.
std::mutex g_lock;
struct Diana {
    HMODULE module = nullptr;
    SetLevelFn setLevel = nullptr;
    GetLevelFn getLevel = nullptr;
    AnyFn extra115 = nullptr;
    AnyFn extra116 = nullptr;
} g_diana;
struct Tp300 {
    HMODULE module = nullptr;
    QueryFn query = nullptr;
    AnyFn getLevel = nullptr; // bound only: it does not report the level
    SetLevelFn setLevel = nullptr;
} g_tp300;

void ShowError(const wchar_t* text) {
    UiMessageBox(nullptr, text, L"Error", MB_OK);
}

void ShowLoadError(DWORD code) {
    wchar_t text[64];
    swprintf(text, 64, L"error 0x%X", static_cast<unsigned>(code));
    ShowError(text);
}

// One message for each missing entry; the others are still bound.
template <typename Fn> Fn Bind(HMODULE module, int ordinal) {
    FARPROC p = GetProcAddressW(module, MAKEINTRESOURCEW(ordinal));
    if (!p)
        ShowError(L"Unable to find entry point");
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(p));
}

std::wstring FileNameOf(const wchar_t* path) {
    const wchar_t* slash = wcsrchr(path, L'\\');
    return slash ? slash + 1 : path;
}

int ToPercent(int level) {
    return level * 100 / 6;
}

} // namespace

bool OemIs(const wchar_t* name) {
    wchar_t oem[260];
    GetOemInfo(oem, 260);
    return _wcsnicmp(oem, name, wcslen(name)) == 0;
}

int BindDianaLibrary(const wchar_t* path) {
    std::lock_guard<std::mutex> hold(g_lock);
    HMODULE module = LoadLibraryW(path);
    if (!module) {
        ShowLoadError(GetLastError());
        return 0;
    }
    g_diana.module = module;
    g_diana.getLevel = Bind<GetLevelFn>(module, 74);
    g_diana.setLevel = Bind<SetLevelFn>(module, 125);
    g_diana.extra115 = Bind<AnyFn>(module, 115);
    g_diana.extra116 = Bind<AnyFn>(module, 116);
    return 1;
}

int InitDianaPlatform(const std::wstring& programFolder) {
    for (const wchar_t* source : {kDianaSource, kDianaAllocSource})
        CopyFileW(source, (programFolder + FileNameOf(source)).c_str(), TRUE);
    return BindDianaLibrary(kDianaLibrary);
}

void CloseDianaPlatform() {
    std::lock_guard<std::mutex> hold(g_lock);
    if (g_diana.module)
        FreeLibrary(g_diana.module);
    g_diana = Diana();
}

int DianaSetBacklight(int level) {
    std::lock_guard<std::mutex> hold(g_lock);
    if (g_diana.setLevel)
        g_diana.setLevel(ToPercent(level), 0);
    return 1;
}

int DianaGetBacklight() {
    std::lock_guard<std::mutex> hold(g_lock);
    int value = -1;
    if (g_diana.getLevel)
        g_diana.getLevel(&value);
    return value;
}

int BindTp300Library(const wchar_t* path) {
    std::lock_guard<std::mutex> hold(g_lock);
    HMODULE module = LoadLibraryW(path);
    if (!module) {
        ShowLoadError(GetLastError());
        return 0;
    }
    g_tp300.module = module;
    g_tp300.query = Bind<QueryFn>(module, 8);
    g_tp300.getLevel = Bind<AnyFn>(module, 10);
    g_tp300.setLevel = Bind<SetLevelFn>(module, 25);
    return 1;
}

int InitTp300Platform() {
    return BindTp300Library(kTp300Library);
}

void CloseTp300Platform() {
    std::lock_guard<std::mutex> hold(g_lock);
    if (g_tp300.module)
        FreeLibrary(g_tp300.module);
    g_tp300 = Tp300();
}

int Tp300SetBacklight(int level) {
    std::lock_guard<std::mutex> hold(g_lock);
    if (g_tp300.setLevel)
        g_tp300.setLevel(ToPercent(level), 0);
    return 1;
}

int Tp300GetBacklight() {
    return -1;
}

int Tp300PlatformQuery() {
    if (!OemIs(kTp300Oem))
        return -1;
    std::lock_guard<std::mutex> hold(g_lock);
    return g_tp300.query ? g_tp300.query() : -1;
}

void InitPlatformLibraries(const std::wstring& programFolder) {
    if (OemIs(kDianaOem))
        InitDianaPlatform(programFolder);
    else if (OemIs(kTp300Oem))
        InitTp300Platform();
}

void ClosePlatformLibraries() {
    if (OemIs(kDianaOem))
        CloseDianaPlatform();
    else if (OemIs(kTp300Oem))
        CloseTp300Platform();
}
