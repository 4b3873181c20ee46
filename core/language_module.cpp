#include "core/language_module.h"

#include <cwchar>

#include "core/program_globals.h"
#include "core/resource_module.h"

namespace {

struct LanguageEntry {
    const wchar_t* code;
    bool setsValues; // whether loading this entry sets the east letter and image indexes
    char eastLetter;
    int firstImageIndex;
    int secondImageIndex;
};

const LanguageEntry kLanguages[kLanguageTableSize] = {
    {L"", true, 'E', 13, 16},
    {L"DEU", true, 'O', 12, 15},
    {L"SWE", false, 0, 0, 0},
};
const wchar_t kEndMarker[] = L"ABC";

wchar_t g_lastLoaded[kLanguageCodeChars + 2];
bool g_lastLoadedSet = false;

int FindEntry(const wchar_t* code) {
    int index = 0;
    for (; index < kLanguageTableSize; ++index) {
        if (wcscmp(LanguageModule::GetTableCode(index), code) == 0)
            break;
    }
    return index; // kLanguageTableSize: the end marker
}

} // namespace

LanguageModule::LanguageModule()
    : code{}, eastLetter('E'), firstImageIndex(13), secondImageIndex(16) {}

LanguageModule::~LanguageModule() = default;

void LanguageModule::SetCode(const wchar_t* newCode) {
    CopyText(code, kLanguageCodeChars, newCode ? newCode : L"");
}

const wchar_t* LanguageModule::GetTableCode(int index) {
    if (index < 0 || index >= kLanguageTableSize)
        return kEndMarker;
    return kLanguages[index].code;
}

bool IsKnownLanguageCode(const wchar_t* code) {
    return code && FindEntry(code) < kLanguageTableSize;
}

void LanguageModule::LoadResourceDll() {
    if (g_lastLoadedSet && wcscmp(code, g_lastLoaded) == 0)
        return;
    int index = FindEntry(code);
    HINSTANCE current = GetResourceModule();
    if (current && current != g_programInstance && current != GetModuleHandleW(nullptr))
        FreeLibrary(current);
    bool failed = false;
    if (code[0] == 0) {
        SetResourceModule(nullptr);
    } else {
        wchar_t name[kLanguageCodeChars + 8];
        swprintf(name, sizeof(name) / sizeof(name[0]), L"%ls.DLL", code);
        HMODULE library = LoadLibraryW(name);
        if (library) {
            SetResourceModule(library);
        } else {
            SetResourceModule(nullptr);
            failed = true;
            index = 0;
        }
    }
    if (failed || index == 0 || index == 1) {
        eastLetter = kLanguages[index].eastLetter;
        firstImageIndex = kLanguages[index].firstImageIndex;
        secondImageIndex = kLanguages[index].secondImageIndex;
    }
    CopyText(g_lastLoaded, kLanguageCodeChars + 2, code);
    g_lastLoadedSet = true;
}

LanguageModule* GetLanguageModule() {
    static LanguageModule module;
    return &module;
}

void ResetLanguageForTesting() {
    HINSTANCE current = GetResourceModule();
    if (current && current != g_programInstance && current != GetModuleHandleW(nullptr))
        FreeLibrary(current);
    SetResourceModule(nullptr);
    g_lastLoaded[0] = 0;
    g_lastLoadedSet = false;
}
