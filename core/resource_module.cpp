#include "core/resource_module.h"

namespace {
HINSTANCE g_resourceModule = nullptr;
}

HINSTANCE GetResourceModule() {
    return g_resourceModule ? g_resourceModule : GetModuleHandleW(nullptr);
}

void SetResourceModule(HINSTANCE module) {
    g_resourceModule = module;
}

int LoadResString(UINT id, wchar_t* out, int outChars) {
    if (!out || outChars <= 0)
        return 0;
    out[0] = 0;
    int n = LoadStringW(GetResourceModule(), id, out, outChars);
    // A language library may lack newer texts: those come from the program's own resources.
    if (n <= 0 && GetResourceModule() != GetModuleHandleW(nullptr))
        n = LoadStringW(GetModuleHandleW(nullptr), id, out, outChars);
    if (n <= 0) {
        out[0] = 0;
        return 0;
    }
    return n;
}
