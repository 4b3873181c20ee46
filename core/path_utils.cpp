#include "core/path_utils.h"

#include <windows.h>

#include <climits>
#include <cstring>
#include <cwchar>

#include "core/text_utils.h"

namespace {

constexpr size_t kNone = static_cast<size_t>(-1);

bool IsSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}
bool IsListSeparator(wchar_t c) {
    return c == L';' || c == L',';
}
bool IsSegmentSeparator(wchar_t c) {
    return IsSeparator(c) || IsListSeparator(c);
}

size_t Length(const wchar_t* text) {
    return text ? wcslen(text) : 0;
}

size_t LastOf(const wchar_t* text, size_t length, bool (*match)(wchar_t)) {
    for (size_t i = length; i > 0; --i) {
        if (match(text[i - 1]))
            return i - 1;
    }
    return kNone;
}

bool IsBackslash(wchar_t c) {
    return c == L'\\';
}
bool IsDot(wchar_t c) {
    return c == L'.';
}

// Writes `length` characters of `source` (which may overlap out) with a terminator.
bool CopyOut(const wchar_t* source, size_t length, wchar_t* out, size_t chars) {
    if (!out || chars == 0)
        return false;
    if (length >= chars) {
        out[0] = L'\0';
        return false;
    }
    if (length > 0)
        memmove(out, source, length * sizeof(wchar_t));
    out[length] = L'\0';
    return true;
}

// Leaves the output empty; the result does not exist.
bool NoResult(wchar_t* out, size_t chars) {
    if (out && chars > 0)
        out[0] = L'\0';
    return false;
}

// Start of the file name part.
size_t FileNameStart(const wchar_t* path, size_t length) {
    size_t at = LastOf(path, length, IsBackslash);
    return at == kNone ? 0 : at + 1;
}

bool StartsWithAsciiNoCase(const wchar_t* text, const char* prefix) {
    for (size_t i = 0; prefix[i]; ++i) {
        wchar_t c = text[i];
        if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c - L'A' + L'a');
        if (c != static_cast<wchar_t>(prefix[i]))
            return false; // also at the terminator
    }
    return true;
}

} // namespace

bool GetFileNamePart(const wchar_t* path, wchar_t* out, size_t chars) {
    size_t length = Length(path);
    size_t start = FileNameStart(path, length);
    return CopyOut(path + start, length - start, out, chars);
}

bool GetFileNamePartA(const wchar_t* path, char* out, size_t chars) {
    if (!out || chars == 0 || chars > INT_MAX)
        return false;
    out[0] = '\0';
    size_t length = Length(path);
    size_t start = FileNameStart(path, length);
    size_t nameLength = length - start;
    if (nameLength == 0)
        return true;
    // A size of 0 would ask for the needed size instead of converting.
    if (nameLength > INT_MAX || chars == 1)
        return false;
    int written = WideCharToMultiByte(CP_ACP, 0, path + start, static_cast<int>(nameLength), out,
                                      static_cast<int>(chars) - 1, nullptr, nullptr);
    if (written <= 0) {
        out[0] = '\0';
        return false;
    }
    out[written] = '\0';
    return true;
}

bool GetBaseName(const wchar_t* path, wchar_t* out, size_t chars) {
    size_t length = Length(path);
    size_t start = FileNameStart(path, length);
    size_t dot = LastOf(path + start, length - start, IsDot);
    size_t nameLength = dot == kNone ? length - start : dot;
    return CopyOut(path + start, nameLength, out, chars);
}

bool StripExtension(const wchar_t* path, wchar_t* out, size_t chars) {
    size_t length = Length(path);
    size_t separator = LastOf(path, length, IsSeparator);
    size_t start = separator == kNone ? 0 : separator + 1;
    size_t dot = LastOf(path + start, length - start, IsDot);
    return CopyOut(path, dot == kNone ? length : start + dot, out, chars);
}

bool GetDirectoryPart(const wchar_t* path, wchar_t* out, size_t chars) {
    size_t length = Length(path);
    size_t separator = LastOf(path, length, IsSeparator);
    return CopyOut(path, separator == kNone ? length : separator, out, chars);
}

bool HasExtension(const wchar_t* path, const wchar_t* extension) {
    if (!extension)
        return false;
    if (wcscmp(extension, L"*") == 0)
        return true;
    size_t length = Length(path);
    size_t dot = LastOf(path, length, IsDot);
    if (dot == kNone)
        return false;
    return EqualsNoCase(path + dot + 1, length - dot - 1, extension, wcslen(extension));
}

bool GetPathSegment(const wchar_t* path, int n, wchar_t* out, size_t chars) {
    size_t length = Length(path);
    if (n < 0 || length == 0)
        return NoResult(out, chars);
    size_t start = 0;
    if (n > 0) {
        int seen = 0;
        start = kNone;
        for (size_t i = 1; i < length; ++i) {
            if (IsSegmentSeparator(path[i]) && ++seen == n) {
                start = i;
                break;
            }
        }
        if (start == kNone)
            return NoResult(out, chars);
    }
    size_t end = start + 1;
    while (end < length && !IsSegmentSeparator(path[end]))
        ++end;
    if (!CopyOut(path + start, end - start, out, chars))
        return false;
    if (IsListSeparator(out[0]))
        out[0] = L'\\';
    return true;
}

void BackslashesToSlashes(wchar_t* text) {
    for (; text && *text; ++text) {
        if (*text == L'\\')
            *text = L'/';
    }
}

void SlashesToBackslashes(wchar_t* text) {
    for (; text && *text; ++text) {
        if (*text == L'/')
            *text = L'\\';
    }
}

void StripUrlScheme(wchar_t* text) {
    if (!text)
        return;
    size_t cut = 0;
    if (StartsWithAsciiNoCase(text, "file:"))
        cut = 5;
    else if (StartsWithAsciiNoCase(text, "http://"))
        cut = 7;
    if (cut > 0)
        memmove(text, text + cut, (wcslen(text + cut) + 1) * sizeof(wchar_t));
}
