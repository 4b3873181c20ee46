#include "tours/tour_file_io.h"

#include "tours/tour_format.h"

#include <vector>

namespace tur {

int64_t FileSize(HANDLE file) {
    LARGE_INTEGER size;
    return GetFileSizeEx(file, &size) ? size.QuadPart : -1;
}

int64_t Tell(HANDLE file) {
    LARGE_INTEGER zero{}, pos;
    return SetFilePointerEx(file, zero, &pos, FILE_CURRENT) ? pos.QuadPart : -1;
}

bool SeekTo(HANDLE file, int64_t offset) {
    LARGE_INTEGER to;
    to.QuadPart = offset;
    return offset >= 0 && SetFilePointerEx(file, to, nullptr, FILE_BEGIN);
}

bool SeekToEnd(HANDLE file) {
    LARGE_INTEGER zero{};
    return SetFilePointerEx(file, zero, nullptr, FILE_END);
}

bool ReadExact(HANDLE file, void* out, size_t bytes) {
    DWORD got = 0;
    return bytes <= MAXDWORD && ReadFile(file, out, static_cast<DWORD>(bytes), &got, nullptr) &&
           got == bytes;
}

bool WriteAll(HANDLE file, const void* data, size_t bytes) {
    DWORD put = 0;
    return bytes <= MAXDWORD && ::WriteFile(file, data, static_cast<DWORD>(bytes), &put, nullptr) &&
           put == bytes;
}

bool ReadAt(HANDLE file, int64_t offset, void* out, size_t bytes) {
    return SeekTo(file, offset) && ReadExact(file, out, bytes);
}

bool WriteAt(HANDLE file, int64_t offset, const void* data, size_t bytes) {
    return SeekTo(file, offset) && WriteAll(file, data, bytes);
}

bool WriteWords(HANDLE file, const uint32_t* words, size_t count) {
    std::vector<uint8_t> bytes(count * 4);
    for (size_t i = 0; i < count; ++i)
        PutU32(&bytes[i * 4], words[i]);
    return WriteAll(file, bytes.data(), bytes.size());
}

void CloseFile(HANDLE* file) {
    if (*file != INVALID_HANDLE_VALUE)
        CloseHandle(*file);
    *file = INVALID_HANDLE_VALUE;
}

} // namespace tur
