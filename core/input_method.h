// The program's keypad input method (served by TKIM.dll beside the program): registered at
// every start, made current while the program runs, and the earlier one restored at exit.
#pragma once
#include <windows.h>

#include <optional>
#include <string>

extern const GUID kKeypadInputMethod; // {14D2E69D-4408-4753-BC23-150351823725}

// Writes the COM registration of the keypad under HKEY_CLASSES_ROOT; `programFolder` ends with
// a backslash.
void RegisterKeypadInputMethod(const std::wstring& programFolder);

// Makes `id` the current input method (nothing with null). The input method current before is
// kept in *previous on the first call that can read it; later calls keep what is there.
void SelectKeypadInputMethod(std::optional<GUID>* previous, const GUID* id);
