// CRC-32 of the ZIP format (reflected polynomial 0xEDB88320). The caller starts the
// register at 0xFFFFFFFF, folds each block in with update_crc and complements the result.
#pragma once

#include <cstddef>
#include <cstdint>

// Entry n is the reflected CRC of the single byte n (constant data, not built at run time).
extern const uint32_t crc32_table[256];

// Folds n bytes of buf into the register reg, in order, and returns the new register.
uint32_t update_crc(uint32_t reg, const uint8_t* buf, size_t n);
