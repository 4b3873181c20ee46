// The settings backup file: the program's whole registry key as ".reg" text, protected by a
// CRC-32 and scrambled, kept as the hidden system file "Tarn_Wick" in the program folder so
// that settings survive a registry reset.
//
// Record before scrambling (little-endian):
//   +0  uint32  length L of the text in bytes
//   +4  uint32  CRC-32 of the text
//   +8  L bytes the .reg text (no terminating zero)
// Scrambled, the record of L + 8 bytes becomes the L + 10 bytes of the file.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

extern const wchar_t kSettingsBackupName[]; // "Tarn_Wick", beside the program

// Writes the backup of the program's key to `path`; with plainCopy also the plain text to
// path + ".reg". A file that cannot be created is skipped silently.
void SettingsBackupExport(const std::wstring& path, bool plainCopy);

// Restores the backup at `path` into the registry. A missing, short, truncated or foreign file
// (wrong length or CRC) changes nothing. With deleteFile the file is deleted afterwards when it
// could be opened. Returns true when the text was applied.
bool SettingsBackupImport(const std::wstring& path, bool deleteFile);

// In-place scrambling of a record: `buffer` holds n bytes and has room for n + 5; the result is
// n + 2 bytes. Unscrambling takes those m = n + 2 bytes (room for m + 3) back to n bytes.
void ScrambleBackup(uint8_t* buffer, size_t n);
void UnscrambleBackup(uint8_t* buffer, size_t m);
