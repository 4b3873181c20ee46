// An open registry key that closes itself. Readers open existing keys only; writers create
// the key. Strings are read with character limits and always come back zero-terminated.
#pragma once
#include <windows.h>

#include <cstdint>

class RegistryKey {
public:
    RegistryKey() = default;
    ~RegistryKey() { Close(); }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    bool Open(HKEY root, const wchar_t* path);   // read access, never creates
    bool Create(HKEY root, const wchar_t* path); // full access, creates when missing
    // The program's key (ProgramKeyPath()) or a subkey of it.
    bool OpenProgram(const wchar_t* subkey = nullptr);
    bool CreateProgram(const wchar_t* subkey = nullptr);
    void Close();
    bool IsOpen() const { return key_ != nullptr; }
    HKEY handle() const { return key_; }

    bool ReadDword(const wchar_t* name, uint32_t* value) const;
    // Reads at most outChars - 1 characters; the buffer is left unchanged when the value is
    // missing or not a string. A longer value is cut to fit.
    bool ReadString(const wchar_t* name, wchar_t* out, size_t outChars) const;
    bool WriteDword(const wchar_t* name, uint32_t value) const;
    bool WriteString(const wchar_t* name, const wchar_t* value) const;
    bool HasValue(const wchar_t* name) const;
    bool DeleteValue(const wchar_t* name) const;

private:
    HKEY key_ = nullptr;
};
