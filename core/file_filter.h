// File-dialog filter lists: pairs of zero-terminated strings (a description, then patterns
// separated by ";"), ended by an empty string, e.g. L"Maps\0*.cal;*.tkm\0All\0*.*\0".
#pragma once
#include <cstddef>

// True when the name's extension (after its last ".") equals the extension of a pattern of
// the pair `index` (0-based; -1: of any pair), without regard to case. A pattern whose
// extension is "*" matches every name.
bool MatchesFilter(const wchar_t* name, const wchar_t* filter, int index);

// Steps to the string at *position (an offset into the zero-separated list), passing over one
// string that begins with "*" (a pattern), so that successive calls walk the descriptions.
// False at the end of the list; else *position is the string's start and *next the offset
// behind its terminator.
bool NextListToken(const wchar_t* list, size_t* position, size_t* next);
