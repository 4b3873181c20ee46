// Gives the running test a clean program registry key of its own (under HKEY_LOCAL_MACHINE),
// redirecting the program's key to it; deletes the key and restores the default at the end.
#pragma once
#include <windows.h>
#include <string>

class ProgramKeyScope {
public:
    ProgramKeyScope();
    ~ProgramKeyScope();
    ProgramKeyScope(const ProgramKeyScope&) = delete;
    ProgramKeyScope& operator=(const ProgramKeyScope&) = delete;

    const std::wstring& path() const { return path_; }

    // Direct access to values of the key, for arranging and checking.
    void SetDword(const wchar_t* name, DWORD value, const wchar_t* subkey = nullptr) const;
    void SetString(const wchar_t* name, const std::wstring& value,
                   const wchar_t* subkey = nullptr) const;
    bool GetDword(const wchar_t* name, DWORD* value, const wchar_t* subkey = nullptr) const;
    bool GetString(const wchar_t* name, std::wstring* value, const wchar_t* subkey = nullptr) const;
    bool Exists(const wchar_t* subkey = nullptr) const;

private:
    std::wstring Full(const wchar_t* subkey) const;
    std::wstring path_;
};
