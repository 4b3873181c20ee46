// The module from which every string, dialog, menu and bitmap of the program is loaded: the
// program itself, or the language resource library that the language module loaded.
#pragma once
#include <windows.h>

HINSTANCE GetResourceModule();
void SetResourceModule(HINSTANCE module); // nullptr: the program's own module

// Loads string `id` into out (always zero-terminated); returns its length, 0 when missing.
int LoadResString(UINT id, wchar_t* out, int outChars);
