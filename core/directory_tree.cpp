#include "core/directory_tree.h"

#include <cwchar>
#include <string>

#include "core/text_utils.h"

namespace {

// Paths are built in MAX_PATH buffers on the device.
constexpr size_t kPathChars = MAX_PATH;

bool IsSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}
bool Fits(const std::wstring& path) {
    return path.size() < kPathChars;
}

std::wstring WithoutTrailingSeparators(const wchar_t* path) {
    std::wstring out(path);
    while (!out.empty() && IsSeparator(out.back()))
        out.pop_back();
    return out;
}

std::wstring Join(const std::wstring& folder, const wchar_t* name) {
    return folder + L"\\" + name;
}

bool IsDirectory(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsDotEntry(const wchar_t* name) {
    return wcscmp(name, L".") == 0 || wcscmp(name, L"..") == 0;
}

BOOL MakeFolder(const std::wstring& path) {
    return CreateDirectoryW(path.c_str(), nullptr) || IsDirectory(path) ? TRUE : FALSE;
}

// "" (what "\" leaves) or "X:".
bool IsVolumeRoot(const std::wstring& trimmed) {
    return trimmed.empty() || (trimmed.size() == 2 && trimmed[1] == L':');
}

class FindHandle {
public:
    explicit FindHandle(HANDLE handle) : handle_(handle) {}
    ~FindHandle() {
        if (handle_ != INVALID_HANDLE_VALUE)
            FindClose(handle_);
    }
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

BOOL DeleteTree(const std::wstring& folder) {
    const std::wstring pattern = Join(folder, L"*.*");
    if (Fits(pattern)) {
        WIN32_FIND_DATAW entry;
        FindHandle find(FindFirstFileW(pattern.c_str(), &entry));
        for (bool more = find.valid(); more; more = FindNextFileW(find.get(), &entry)) {
            if (IsDotEntry(entry.cFileName))
                continue;
            const std::wstring full = Join(folder, entry.cFileName);
            if (!Fits(full))
                continue;
            // A linked folder is removed as a link, never emptied through it.
            if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                !(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                DeleteTree(full);
            else if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveDirectoryW(full.c_str());
            else
                DeleteFileW(full.c_str());
        }
    }
    return RemoveDirectoryW(folder.c_str());
}

BOOL CopyTree(const std::wstring& source, const std::wstring& target) {
    if (!CreateDirectoryChain(target.c_str()))
        return FALSE;
    const std::wstring pattern = Join(source, L"*.*");
    if (!Fits(pattern))
        return FALSE;
    WIN32_FIND_DATAW entry;
    FindHandle find(FindFirstFileW(pattern.c_str(), &entry));
    if (!find.valid())
        return FALSE;
    BOOL all = TRUE;
    do {
        if (IsDotEntry(entry.cFileName))
            continue;
        const std::wstring from = Join(source, entry.cFileName);
        const std::wstring to = Join(target, entry.cFileName);
        if (!Fits(from) || !Fits(to)) {
            all = FALSE;
            continue;
        }
        BOOL done = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                        ? CopyTree(from, to)
                        : CopyFileW(from.c_str(), to.c_str(), FALSE);
        if (!done)
            all = FALSE;
    } while (FindNextFileW(find.get(), &entry));
    return all;
}

// The absolute form of a folder path, without trailing separators; empty when it does not fit.
std::wstring FullFolderPath(const wchar_t* path) {
    wchar_t full[kPathChars];
    DWORD n = GetFullPathNameW(path, kPathChars, full, nullptr);
    if (n == 0 || n >= kPathChars)
        return std::wstring();
    return WithoutTrailingSeparators(full);
}

bool IsSameOrInside(const std::wstring& inner, const std::wstring& outer) {
    if (inner.size() < outer.size() ||
        !EqualsNoCase(inner.c_str(), outer.size(), outer.c_str(), outer.size()))
        return false;
    return inner.size() == outer.size() || IsSeparator(inner[outer.size()]);
}

} // namespace

BOOL CreateDirectoryChain(const wchar_t* path) {
    if (!path || !*path)
        return FALSE;
    const std::wstring chain(path);
    if (!Fits(chain)) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return FALSE;
    }
    size_t firstEnd = 0;
    while (firstEnd < chain.size() && IsSeparator(chain[firstEnd]))
        ++firstEnd;
    while (firstEnd < chain.size() && !IsSeparator(chain[firstEnd]))
        ++firstEnd;
    BOOL last = IsDirectory(chain.substr(0, firstEnd)) ? TRUE : FALSE;
    for (size_t i = firstEnd + 1; i < chain.size(); ++i) {
        if (IsSeparator(chain[i]) && !IsSeparator(chain[i - 1]))
            last = MakeFolder(chain.substr(0, i));
    }
    if (chain.size() > firstEnd && !IsSeparator(chain.back()))
        last = MakeFolder(chain);
    return last;
}

BOOL DeleteDirectoryTree(const wchar_t* folder) {
    if (!folder || !*folder)
        return FALSE;
    const std::wstring trimmed = WithoutTrailingSeparators(folder);
    if (IsVolumeRoot(trimmed) || !Fits(trimmed)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return DeleteTree(trimmed);
}

BOOL CopyDirectoryTree(const wchar_t* source, const wchar_t* target) {
    if (!source || !*source || !target || !*target)
        return FALSE;
    const std::wstring from = FullFolderPath(source);
    const std::wstring to = FullFolderPath(target);
    if (from.empty() || to.empty() || !IsDirectory(from))
        return FALSE;
    // Copying into itself would find its own copies and recurse without end.
    if (IsSameOrInside(to, from)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return CopyTree(from, to);
}
