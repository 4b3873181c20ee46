#include "core/crc32.h"

#include <array>

namespace {
std::array<uint32_t, 256> MakeTable() {
    std::array<uint32_t, 256> table{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t c = i;
        for (int bit = 0; bit < 8; ++bit)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[i] = c;
    }
    return table;
}
} // namespace

const uint32_t* Crc32BuildTable() {
    static const std::array<uint32_t, 256> table = MakeTable(); // thread-safe static init
    return table.data();
}

uint32_t Crc32Update(uint32_t crc, const uint8_t* data, size_t length) {
    const uint32_t* table = Crc32BuildTable();
    for (size_t i = 0; i < length; ++i)
        crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return crc;
}

uint32_t Crc32(const void* data, size_t length) {
    return ~Crc32Update(0xFFFFFFFFu, static_cast<const uint8_t*>(data), length);
}
