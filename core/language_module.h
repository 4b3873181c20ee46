// The chosen user-interface language and its resource library ("DEU.DLL" for "DEU"), which
// becomes the resource module of every string, dialog and menu load.
#pragma once
#include <windows.h>

#include "core/app_settings.h"

constexpr int kLanguageTableSize = 3;

class LanguageModule {
public:
    LanguageModule();
    ~LanguageModule();
    LanguageModule(const LanguageModule&) = delete;
    LanguageModule& operator=(const LanguageModule&) = delete;

    void SetCode(const wchar_t* code);
    // Entry `index` of the language table; the end marker "ABC" from index 3 on.
    static const wchar_t* GetTableCode(int index);
    // Loads the library of the current code; a repeated load of the same code does nothing.
    void LoadResourceDll();

    wchar_t code[kLanguageCodeChars];
    char eastLetter;     // written for eastern longitudes
    int firstImageIndex; // language-dependent pictures of the menu's image list
    int secondImageIndex;
};

LanguageModule* GetLanguageModule();

// True when the code is one of the language table (the empty code included).
bool IsKnownLanguageCode(const wchar_t* code);

// Forgets the code last loaded and returns to the program's own resources.
void ResetLanguageForTesting();
