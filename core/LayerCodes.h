// The 13 layer codes in their fixed order, with the caption of each one's check box. A code
// is at once the extension searched for, the new file name, the settings value name and
// the text in the messages.
#pragma once

#include <array>
#include <cstddef>

struct TLayerCode {
  const char* code;
  const char* caption;
};

inline constexpr size_t kLayerCount = 13;

inline constexpr std::array<TLayerCode, kLayerCount> kLayerCodes{{
    {"GTO", "GTO - Top Overlay"},
    {"GTP", "GTP - Top Paste"},
    {"GTS", "GTS - Top Solder"},
    {"GTL", "GTL - Top Layer"},
    {"GBO", "GBO - Bottom Overlay"},
    {"GBP", "GBP - Bottom Paste"},
    {"GBS", "GBS - Bottom Solder"},
    {"GBL", "GBL - Bottom Layer"},
    {"GKO", "GKO - KeepOut Layer"},
    {"GM1", "GM1 - Mechanical 1"},
    {"GPT", "GPT - Top Pad Master"},
    {"GPB", "GPB - Bottom Pad Master"},
    {"TXT", "TXT - NC Drill Data"},
}};
