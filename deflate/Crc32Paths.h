// The ways update_crc folds bytes into the register: tables (any processor; one lookup
// per byte) and carry-less multiplication (PCLMULQDQ on x86-64 processors that have it:
// the buffer is folded 64 bytes at a time into 128-bit remainders, which a Barrett
// reduction turns into the 32-bit register; with AVX-512 VPCLMULQDQ, 256 bytes at a time
// into 512-bit remainders). update_crc picks the widest one that can run for long
// buffers; tests hold each to the bitwise CRC.
#pragma once

#include <cstddef>
#include <cstdint>

namespace crc32_paths {

uint32_t UpdateByTables(uint32_t reg, const uint8_t* buf, size_t n);

// True when this build and this processor can run UpdateByClmul.
bool ClmulAvailable();
// The register after n bytes (n >= 64, a multiple of 16) starting from reg.
uint32_t UpdateByClmul(uint32_t reg, const uint8_t* buf, size_t n);

// True when this build and this processor can run UpdateByVclmul.
bool VclmulAvailable();
// The register after n bytes (n >= 256, a multiple of 16) starting from reg.
uint32_t UpdateByVclmul(uint32_t reg, const uint8_t* buf, size_t n);

}  // namespace crc32_paths
