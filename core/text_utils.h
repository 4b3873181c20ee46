// Case-insensitive text comparison and the tree-label suffix cut.
#pragma once
#include <cstddef>

// Ordinal comparison without regard to case (not locale-sensitive, so umlauts fold too).
bool EqualsNoCase(const wchar_t* a, size_t aChars, const wchar_t* b, size_t bChars);

// True when `part` occurs anywhere in `text`, without regard to case; an empty part occurs
// everywhere, a null text or part nowhere.
bool ContainsNoCase(const wchar_t* text, const wchar_t* part);
// The same for 8-bit text in the system's code page.
bool ContainsNoCaseA(const char* text, const char* part);

// Cuts a tree label at its ": (" suffix (drive nodes show disk space there); for ":  (" (two
// blanks) the colon stays. Only the first 260 characters are searched. True when it cut.
bool FindLabelSuffix(wchar_t* label);
