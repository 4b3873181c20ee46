#include "platform/proc_address.h"

FARPROC GetProcAddressW(HMODULE module, const wchar_t* name) {
    if (IS_INTRESOURCE(name)) // lookup by ordinal
        return GetProcAddress(module, reinterpret_cast<LPCSTR>(name));
    char narrow[256];
    size_t i = 0;
    for (; name[i]; ++i) {
        if (i + 1 >= sizeof(narrow) || name[i] > 0x7F) // export names are ASCII
            return nullptr;
        narrow[i] = static_cast<char>(name[i]);
    }
    narrow[i] = 0;
    return GetProcAddress(module, narrow);
}
