// Inputs for the engine tests: text, binary, random, runs, boundary sizes and data shaped
// to end a block early. Deterministic (fixed seeds).
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace deflate_testing {

std::string RandomBytes(size_t n, uint32_t seed);
// English-like words and numbers with line breaks.
std::string Text(size_t n, uint32_t seed);
// Drill/Gerber-like coordinate lines.
std::string GerberText(size_t n, uint32_t seed);
// Structured binary: little-endian records, small integers, zero padding.
std::string BinaryMix(size_t n, uint32_t seed);
// Copies of a few strings cut at every length from 3 to 24: candidates of each prefix length.
std::string SharedPrefixes(size_t n, uint32_t seed);
// Fresh literals between long copies of earlier bytes: few matches, long input per symbol.
std::string EarlyEndData(size_t n, uint32_t seed);

// Named inputs covering the edge sizes: empty, tiny, "abc", 32767, 32768, 65274, 65536,
// over a MiB (the window slides many times), a long run of one byte.
std::vector<std::pair<std::string, std::string>> StandardCorpus();

}  // namespace deflate_testing
