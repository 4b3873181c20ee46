#include "core/htc_navigation.h"

#include "platform/proc_address.h"
#include "platform/ui_seam.h"

namespace {

using NavOpenFn = BOOL (*)(HWND, int);
using NavSetModeFn = BOOL (*)(HWND, int);
using NavCloseFn = BOOL (*)(int);

constexpr int kNavOpenMode = 1;
constexpr int kNavPadMode = 4;

HMODULE g_library = nullptr;
NavCloseFn g_close = nullptr;

template <typename Fn> Fn Bind(const wchar_t* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddressW(g_library, name)));
}

} // namespace

int OpenHtcNavigation(HWND window) {
    if (!g_library)
        g_library = LoadLibraryW(L"HTCAPI.dll");
    if (!g_library)
        return 0;
    auto open = Bind<NavOpenFn>(L"HTCNavOpen");
    auto setMode = Bind<NavSetModeFn>(L"HTCNavSetMode");
    g_close = Bind<NavCloseFn>(L"HTCNavClose");
    if (!open || !setMode || !g_close) {
        UiMessageBox(nullptr, L"Unable to find entry point", L"HError", MB_SETFOREGROUND);
        return 0;
    }
    open(window, kNavOpenMode);
    setMode(window, kNavPadMode);
    return 1;
}

int CloseHtcNavigation() {
    if (g_close)
        g_close(kNavPadMode);
    return 1;
}
