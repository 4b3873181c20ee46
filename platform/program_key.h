// The program's registry key under HKEY_LOCAL_MACHINE. Tests point it at a key of their own so
// that parallel tests never share settings.
#pragma once

extern const wchar_t kProgramKeyDefault[]; // SOFTWARE\Kestrova\Tarn-Wick

const wchar_t* ProgramKeyPath();
void SetProgramKeyPathForTesting(const wchar_t* path); // nullptr restores the default
