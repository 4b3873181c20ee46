// Windows CE looks up exports by wide name; desktop Windows only has the narrow form.
#pragma once
#include <windows.h>

FARPROC GetProcAddressW(HMODULE module, const wchar_t* name);
