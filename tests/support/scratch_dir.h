// A scratch folder of the running test, created empty and deleted with everything in it.
#pragma once
#include <string>

class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::wstring& path() const { return path_; } // no trailing backslash
    std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }

    // Writes bytes to a file below the folder (creating it); returns its full path.
    std::wstring WriteFile(const std::wstring& name, const std::string& bytes) const;
    static std::string ReadFile(const std::wstring& path);

private:
    std::wstring path_;
};
