// Whole reads and writes at file positions, for the tour file code.
#pragma once
#include <windows.h>
#include <cstddef>
#include <cstdint>

namespace tur {

int64_t FileSize(HANDLE file); // -1 on failure
int64_t Tell(HANDLE file);     // -1 on failure
bool SeekTo(HANDLE file, int64_t offset);
bool SeekToEnd(HANDLE file);
// True only when every byte was read or written.
bool ReadExact(HANDLE file, void* out, size_t bytes);
bool WriteAll(HANDLE file, const void* data, size_t bytes);
bool ReadAt(HANDLE file, int64_t offset, void* out, size_t bytes);
bool WriteAt(HANDLE file, int64_t offset, const void* data, size_t bytes);
bool WriteWords(HANDLE file, const uint32_t* words, size_t count);

// Closes the handle when open and sets it to INVALID_HANDLE_VALUE.
void CloseFile(HANDLE* file);

} // namespace tur
