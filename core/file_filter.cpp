#include "core/file_filter.h"

#include <cwchar>

#include "core/text_utils.h"

namespace {

// The extension of a pattern or a name: the text after its last "." (the whole text of a
// pattern without one, so that "*" alone matches everything).
struct Extension {
    const wchar_t* text;
    size_t length;
};

Extension ExtensionOf(const wchar_t* text, size_t length, bool wholeWithoutDot) {
    for (size_t i = length; i > 0; --i) {
        if (text[i - 1] == L'.')
            return {text + i, length - i};
    }
    return wholeWithoutDot ? Extension{text, length} : Extension{text + length, 0};
}

bool PatternsMatch(const wchar_t* patterns, const Extension& name) {
    const wchar_t* start = patterns;
    for (;;) {
        const wchar_t* end = start;
        while (*end && *end != L';')
            ++end;
        Extension pattern = ExtensionOf(start, static_cast<size_t>(end - start), true);
        if (pattern.length == 1 && pattern.text[0] == L'*')
            return true;
        if (EqualsNoCase(pattern.text, pattern.length, name.text, name.length))
            return true;
        if (!*end)
            return false;
        start = end + 1;
    }
}

} // namespace

bool MatchesFilter(const wchar_t* name, const wchar_t* filter, int index) {
    if (!name || !filter)
        return false;
    Extension extension = ExtensionOf(name, wcslen(name), false);
    const wchar_t* description = filter;
    for (int pair = 0; *description; ++pair) {
        const wchar_t* patterns = description + wcslen(description) + 1;
        if (!*patterns)
            return false; // a description without patterns ends the list
        if ((index < 0 || index == pair) && PatternsMatch(patterns, extension))
            return true;
        description = patterns + wcslen(patterns) + 1;
    }
    return false;
}

bool NextListToken(const wchar_t* list, size_t* position, size_t* next) {
    if (!list || !position || !next)
        return false;
    size_t at = *position;
    if (list[at] == L'*')
        at += wcslen(list + at) + 1;
    if (!list[at])
        return false;
    *position = at;
    *next = at + wcslen(list + at) + 1;
    return true;
}
