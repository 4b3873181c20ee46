#include "tests/support/program_key_scope.h"

#include "platform/program_key.h"

#include <vector>

ProgramKeyScope::ProgramKeyScope() {
    static int counter = 0;
    path_ = std::wstring(kProgramKeyDefault) + L"-test-" + std::to_wstring(GetCurrentProcessId()) +
            L"-" + std::to_wstring(++counter);
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, path_.c_str());
    SetProgramKeyPathForTesting(path_.c_str());
}

ProgramKeyScope::~ProgramKeyScope() {
    SetProgramKeyPathForTesting(nullptr);
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, path_.c_str());
}

std::wstring ProgramKeyScope::Full(const wchar_t* subkey) const {
    return subkey ? path_ + L"\\" + subkey : path_;
}

void ProgramKeyScope::SetDword(const wchar_t* name, DWORD value, const wchar_t* subkey) const {
    RegSetKeyValueW(HKEY_LOCAL_MACHINE, Full(subkey).c_str(), name, REG_DWORD, &value,
                    sizeof(value));
}

void ProgramKeyScope::SetString(const wchar_t* name, const std::wstring& value,
                                const wchar_t* subkey) const {
    RegSetKeyValueW(HKEY_LOCAL_MACHINE, Full(subkey).c_str(), name, REG_SZ, value.c_str(),
                    static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

bool ProgramKeyScope::GetDword(const wchar_t* name, DWORD* value, const wchar_t* subkey) const {
    DWORD size = sizeof(*value);
    return RegGetValueW(HKEY_LOCAL_MACHINE, Full(subkey).c_str(), name, RRF_RT_REG_DWORD, nullptr,
                        value, &size) == ERROR_SUCCESS;
}

bool ProgramKeyScope::GetString(const wchar_t* name, std::wstring* value,
                                const wchar_t* subkey) const {
    DWORD size = 0;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, Full(subkey).c_str(), name, RRF_RT_REG_SZ, nullptr,
                     nullptr, &size) != ERROR_SUCCESS)
        return false;
    std::vector<wchar_t> buf(size / sizeof(wchar_t) + 1);
    if (RegGetValueW(HKEY_LOCAL_MACHINE, Full(subkey).c_str(), name, RRF_RT_REG_SZ, nullptr,
                     buf.data(), &size) != ERROR_SUCCESS)
        return false;
    *value = buf.data();
    return true;
}

bool ProgramKeyScope::Exists(const wchar_t* subkey) const {
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, Full(subkey).c_str(), 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}
