#include "platform/program_key.h"

#include <string>

const wchar_t kProgramKeyDefault[] = L"SOFTWARE\\Kestrova\\Tarn-Wick";

namespace {
// Set once per test before any thread reads it; read-only while the program runs.
std::wstring g_path = kProgramKeyDefault;
} // namespace

const wchar_t* ProgramKeyPath() { return g_path.c_str(); }

void SetProgramKeyPathForTesting(const wchar_t* path) { g_path = path ? path : kProgramKeyDefault; }
