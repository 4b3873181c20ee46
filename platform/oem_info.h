// The device's OEM information string (Windows CE: SystemParametersInfo(SPI_GETOEMINFO)).
// Desktop Windows has none: it is read from the registry value
// HKEY_LOCAL_MACHINE\SOFTWARE\Tarn-Wick Platform "OemInfo" (empty when absent), which the run
// script sets; tests set it in-process.
#pragma once
#include <cstddef>

// Copies the string, always zero-terminated; returns false (and an empty string) when unset.
bool GetOemInfo(wchar_t* out, size_t outChars);

// Overrides the string for this process; nullptr returns to the registry value.
void SetOemInfoForTesting(const wchar_t* oem);

// The registry key of platform settings that the Windows CE device would provide itself.
extern const wchar_t kPlatformSettingsKey[];
