// Operations on UTF-16 path strings. Output buffers are the caller's, with their size in
// characters (terminator included). A result that does not fit is never cut: the output is
// left empty and the call returns false. Input and output may be the same buffer.
#pragma once
#include <cstddef>

// The part after the last backslash; the whole path when it has none.
bool GetFileNamePart(const wchar_t* path, wchar_t* out, size_t chars);
// The same part as 8-bit text in the system's code page.
bool GetFileNamePartA(const wchar_t* path, char* out, size_t chars);
// The file name part without its extension (cut at its last "."; unchanged without one).
bool GetBaseName(const wchar_t* path, wchar_t* out, size_t chars);
// The path without the extension of its last component; "\My.Maps\map" stays as it is.
bool StripExtension(const wchar_t* path, wchar_t* out, size_t chars);
// The path cut at its last backslash or "/" (no trailing separator); unchanged without one.
bool GetDirectoryPart(const wchar_t* path, wchar_t* out, size_t chars);

// True for the extension "*"; otherwise when the text after the path's last "." equals the
// extension without regard to case (so "a.b\c" does not have the extension "c").
bool HasExtension(const wchar_t* path, const wchar_t* extension);

// The n-th segment of a path or of a list of paths: the text from the n-th separator ("\",
// "/", and the list separators ";" and ",") up to the next one, with its leading separator; a
// list separator that leads the result becomes a backslash. The first character never counts
// as a separator, so segment 0 starts at the beginning. "\A;\B" has the segments "\A", "\" and
// "\B". A segment that does not exist gives an empty output and false.
bool GetPathSegment(const wchar_t* path, int n, wchar_t* out, size_t chars);

// In place.
void BackslashesToSlashes(wchar_t* text);
void SlashesToBackslashes(wchar_t* text);
// Removes a leading "file:", or else a leading "http://" (either case), in place.
void StripUrlScheme(wchar_t* text);

// Array forms for fixed buffers.
template <size_t N> bool GetFileNamePart(const wchar_t* path, wchar_t (&out)[N]) {
    return GetFileNamePart(path, out, N);
}
template <size_t N> bool GetFileNamePartA(const wchar_t* path, char (&out)[N]) {
    return GetFileNamePartA(path, out, N);
}
template <size_t N> bool GetBaseName(const wchar_t* path, wchar_t (&out)[N]) {
    return GetBaseName(path, out, N);
}
template <size_t N> bool StripExtension(const wchar_t* path, wchar_t (&out)[N]) {
    return StripExtension(path, out, N);
}
template <size_t N> bool GetDirectoryPart(const wchar_t* path, wchar_t (&out)[N]) {
    return GetDirectoryPart(path, out, N);
}
template <size_t N> bool GetPathSegment(const wchar_t* path, int n, wchar_t (&out)[N]) {
    return GetPathSegment(path, n, out, N);
}
