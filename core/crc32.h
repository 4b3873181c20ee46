// CRC-32 of the settings backup file: reflected polynomial 0xEDB88320, initial value all ones,
// result inverted (the common zip/PNG CRC).
#pragma once
#include <cstddef>
#include <cstdint>

// The 256-entry table, built once on first use.
const uint32_t* Crc32BuildTable();
// Runs `crc` (not inverted) over the data.
uint32_t Crc32Update(uint32_t crc, const uint8_t* data, size_t length);
uint32_t Crc32(const void* data, size_t length);
