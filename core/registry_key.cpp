#include "core/registry_key.h"

#include <cwchar>
#include <string>
#include <vector>

#include "platform/program_key.h"

namespace {
std::wstring ProgramPath(const wchar_t* subkey) {
    std::wstring path = ProgramKeyPath();
    if (subkey && *subkey) {
        path += L"\\";
        path += subkey;
    }
    return path;
}
} // namespace

bool RegistryKey::Open(HKEY root, const wchar_t* path) {
    Close();
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    key_ = key;
    return true;
}

bool RegistryKey::Create(HKEY root, const wchar_t* path) {
    Close();
    HKEY key = nullptr;
    if (RegCreateKeyExW(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    key_ = key;
    return true;
}

bool RegistryKey::OpenProgram(const wchar_t* subkey) {
    return Open(HKEY_LOCAL_MACHINE, ProgramPath(subkey).c_str());
}

bool RegistryKey::CreateProgram(const wchar_t* subkey) {
    return Create(HKEY_LOCAL_MACHINE, ProgramPath(subkey).c_str());
}

void RegistryKey::Close() {
    if (key_)
        RegCloseKey(key_);
    key_ = nullptr;
}

bool RegistryKey::ReadDword(const wchar_t* name, uint32_t* value) const {
    if (!key_)
        return false;
    DWORD type = 0;
    DWORD data = 0;
    DWORD size = sizeof(data);
    if (RegQueryValueExW(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof(data))
        return false;
    *value = data;
    return true;
}

bool RegistryKey::ReadString(const wchar_t* name, wchar_t* out, size_t outChars) const {
    if (!key_ || !out || outChars == 0)
        return false;
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(key_, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return false;
    // Read the whole value, whatever its length, then cut: a stored value that fills or
    // overflows the caller's buffer still comes back terminated.
    std::vector<wchar_t> data(size / sizeof(wchar_t) + 1, 0);
    DWORD got = static_cast<DWORD>((data.size() - 1) * sizeof(wchar_t));
    if (RegQueryValueExW(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &got) !=
        ERROR_SUCCESS)
        return false;
    data[got / sizeof(wchar_t)] = 0;
    size_t n = 0;
    for (; data[n] && n + 1 < outChars; ++n)
        out[n] = data[n];
    out[n] = 0;
    return true;
}

bool RegistryKey::WriteDword(const wchar_t* name, uint32_t value) const {
    if (!key_)
        return false;
    DWORD data = value;
    return RegSetValueExW(key_, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                          sizeof(data)) == ERROR_SUCCESS;
}

bool RegistryKey::WriteString(const wchar_t* name, const wchar_t* value) const {
    if (!key_)
        return false;
    const wchar_t* text = value ? value : L"";
    DWORD bytes = static_cast<DWORD>((wcslen(text) + 1) * sizeof(wchar_t));
    return RegSetValueExW(key_, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), bytes) ==
           ERROR_SUCCESS;
}

bool RegistryKey::HasValue(const wchar_t* name) const {
    return key_ &&
           RegQueryValueExW(key_, name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

bool RegistryKey::DeleteValue(const wchar_t* name) const {
    return key_ && RegDeleteValueW(key_, name) == ERROR_SUCCESS;
}
