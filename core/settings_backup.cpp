#include "core/settings_backup.h"

#include "core/crc32.h"
#include "core/reg_text.h"
#include "platform/program_key.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <vector>

const wchar_t kSettingsBackupName[] = L"Tarn_Wick";

namespace {

// Both directions must use the same tables; a file from a build with other tables fails the CRC.
const uint8_t kFirstKey[32] = {0x5A, 0xC3, 0x17, 0x8E, 0x41, 0xF2, 0x6B, 0x09, 0xD4, 0x3C, 0xA7,
                               0x20, 0x95, 0x7E, 0xE1, 0x58, 0x0F, 0xB6, 0x4D, 0x92, 0x2A, 0xCF,
                               0x73, 0x18, 0xEB, 0x66, 0x31, 0xBD, 0x84, 0x5F, 0xF9, 0x07};
const uint8_t kSecondKey[32] = {0x9C, 0x24, 0xE7, 0x6A, 0x13, 0xB8, 0x5D, 0xF0, 0x29, 0x86, 0x4B,
                                0xD1, 0x70, 0x0E, 0xA5, 0x3F, 0xC8, 0x52, 0x1B, 0xE4, 0x97, 0x6D,
                                0x30, 0xAF, 0x45, 0xFB, 0x08, 0x8C, 0x61, 0xD7, 0x3A, 0xB2};

constexpr size_t kHeaderBytes = 8;
constexpr size_t kScrambleGrowth = 2; // the two marker bytes
// Larger than any key of the program could ever produce; guards the allocation.
constexpr DWORD kMaxBackupBytes = 64u * 1024 * 1024;

void PutLe32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>(v >> (8 * i));
}

uint32_t GetLe32(const uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

class FileHandle {
public:
    explicit FileHandle(HANDLE h) : h_(h) {}
    ~FileHandle() {
        if (valid())
            CloseHandle(h_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    bool valid() const { return h_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return h_; }

private:
    HANDLE h_;
};

class WaitCursor {
public:
    WaitCursor() : previous_(SetCursor(LoadCursorW(nullptr, IDC_WAIT))) {}
    ~WaitCursor() { SetCursor(previous_ ? previous_ : LoadCursorW(nullptr, IDC_ARROW)); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    HCURSOR previous_;
};

const DWORD kHiddenSystem = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

// An existing hidden file can only be re-created with the same attributes, so set them first.
HANDLE CreateHiddenFile(const std::wstring& path) {
    SetFileAttributesW(path.c_str(), kHiddenSystem);
    return CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, kHiddenSystem,
                       nullptr);
}

bool WriteAll(HANDLE file, const uint8_t* data, size_t size) {
    DWORD written = 0;
    return WriteFile(file, data, static_cast<DWORD>(size), &written, nullptr) && written == size;
}

} // namespace

void ScrambleBackup(uint8_t* b, size_t n) {
    if (n > kMaxBackupBytes)
        return; // no record of the program is this large
    for (size_t i = 0; i < n; ++i)
        b[i] ^= kFirstKey[i % 32];
    std::copy_backward(b, b + n, b + n + 5);
    for (size_t i = 0; i < n + 5; ++i)
        b[i] ^= kSecondKey[i % 32];
    std::copy(b + 5, b + 5 + n, b + 2);
    b[0] = 0x7B;
    b[1] = 0xA3;
    for (size_t i = 0; i < n + 2; ++i)
        b[i] ^= kFirstKey[i % 32] ^ kSecondKey[i % 32];
}

void UnscrambleBackup(uint8_t* b, size_t m) {
    if (m < kScrambleGrowth || m > kMaxBackupBytes)
        return;
    size_t n = m - kScrambleGrowth;
    for (size_t i = 0; i < m; ++i)
        b[i] ^= kFirstKey[i % 32] ^ kSecondKey[i % 32];
    std::copy_backward(b, b + m, b + m + 3);
    for (size_t i = 0; i < m + 3; ++i)
        b[i] ^= kSecondKey[i % 32];
    std::copy(b + 5, b + 5 + n, b);
    for (size_t i = 0; i < n; ++i)
        b[i] ^= kFirstKey[i % 32];
}

void SettingsBackupExport(const std::wstring& path, bool plainCopy) {
    WaitCursor wait;
    std::string text;
    RegTextWriter(ProgramKeyPath(), &text);
    const size_t length = text.size();
    // Room for the header, the text and the five bytes the scrambling moves through.
    std::vector<uint8_t> record(kHeaderBytes + length + 5);
    FileHandle file(CreateHiddenFile(path));
    if (!file.valid())
        return;
    memcpy(record.data() + kHeaderBytes, text.data(), length);
    if (plainCopy) {
        FileHandle plain(CreateHiddenFile(path + L".reg"));
        if (plain.valid())
            WriteAll(plain.get(), record.data() + kHeaderBytes, length);
    }
    PutLe32(record.data(), static_cast<uint32_t>(length));
    PutLe32(record.data() + 4, Crc32(text.data(), length));
    ScrambleBackup(record.data(), kHeaderBytes + length);
    WriteAll(file.get(), record.data(), kHeaderBytes + length + kScrambleGrowth);
}

bool SettingsBackupImport(const std::wstring& path, bool deleteFile) {
    bool applied = false;
    {
        FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.valid())
            return false;
        LARGE_INTEGER size{};
        const size_t minimum = kHeaderBytes + kScrambleGrowth;
        if (GetFileSizeEx(file.get(), &size) && size.QuadPart >= static_cast<LONGLONG>(minimum) &&
            size.QuadPart <= kMaxBackupBytes) {
            const size_t m = static_cast<size_t>(size.QuadPart);
            std::vector<uint8_t> buffer(m + 3); // slack for the unscrambling
            DWORD read = 0;
            if (ReadFile(file.get(), buffer.data(), static_cast<DWORD>(m), &read, nullptr) &&
                read == m) {
                UnscrambleBackup(buffer.data(), m);
                const uint32_t length = GetLe32(buffer.data());
                const uint8_t* text = buffer.data() + kHeaderBytes;
                // The stored length must account for the whole file before anything is trusted.
                if (length == m - minimum && Crc32(text, length) == GetLe32(buffer.data() + 4)) {
                    RegTextParser(reinterpret_cast<const char*>(text), length);
                    applied = true;
                }
            }
        }
    }
    if (deleteFile) {
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(path.c_str());
    }
    return applied;
}
