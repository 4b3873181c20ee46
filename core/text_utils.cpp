#include "core/text_utils.h"

#include <windows.h>

#include <climits>
#include <cstring>
#include <cwchar>
#include <string>

namespace {

// Labels come from tree nodes read into 260-character buffers.
constexpr size_t kLabelSearchChars = 260;

std::wstring WidenAnsi(const char* text) {
    int n = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (n <= 1)
        return std::wstring();
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, &out[0], n);
    out.resize(static_cast<size_t>(n - 1));
    return out;
}

bool StartsWith(const wchar_t* text, size_t available, const wchar_t* prefix) {
    size_t n = wcslen(prefix);
    return n <= available && wmemcmp(text, prefix, n) == 0;
}

} // namespace

bool EqualsNoCase(const wchar_t* a, size_t aChars, const wchar_t* b, size_t bChars) {
    if (aChars != bChars)
        return false;
    if (aChars == 0)
        return true;
    if (!a || !b || aChars > INT_MAX)
        return false;
    return CompareStringOrdinal(a, static_cast<int>(aChars), b, static_cast<int>(bChars), TRUE) ==
           CSTR_EQUAL;
}

bool ContainsNoCase(const wchar_t* text, const wchar_t* part) {
    if (!text || !part)
        return false;
    size_t textLen = wcslen(text);
    size_t partLen = wcslen(part);
    for (size_t i = 0; i + partLen <= textLen; ++i) {
        if (EqualsNoCase(text + i, partLen, part, partLen))
            return true;
    }
    return false;
}

bool ContainsNoCaseA(const char* text, const char* part) {
    if (!text || !part)
        return false;
    return ContainsNoCase(WidenAnsi(text).c_str(), WidenAnsi(part).c_str());
}

bool FindLabelSuffix(wchar_t* label) {
    if (!label)
        return false;
    size_t len = wcsnlen(label, kLabelSearchChars);
    for (size_t i = 0; i < len; ++i) {
        if (label[i] != L':')
            continue;
        if (StartsWith(label + i, len - i, L": (")) {
            label[i] = L'\0';
            return true;
        }
        if (StartsWith(label + i, len - i, L":  (")) {
            label[i + 1] = L'\0';
            return true;
        }
    }
    return false;
}
