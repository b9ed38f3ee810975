// The data block of a named node of the settings store: one heap block of exactly the
// size of its fields plus the name bytes plus the value bytes, re-sized when the value
// changes. Name and hash never change after the block is made.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct TIniNodeData {
  uint32_t hash;         // NameHash of the trimmed, upper-cased name; below 2^28
  uint8_t nameLength;    // 1 to 255
  uint16_t valueLength;  // 0 to 65535
  char* name;            // inside this block, right after the fields
  char* value;           // inside this block, right after the name bytes

  std::string_view Name() const { return {name, nameLength}; }
  std::string_view Value() const { return {value, valueLength}; }
};

inline constexpr size_t kMaxIniNameLength = 255;
inline constexpr size_t kMaxIniValueLength = 65535;

// The identity of a name: NameHash of the name trimmed of spaces and upper-cased (a-z).
uint32_t IniNameHash(std::string_view name);

// Trims name and checks it and value against the limits, in this order: an empty name
// raises "Invaild field name", a name over 255 bytes "Invaild field (length > 255).", a
// value over 65535 bytes "Invalid value (length > 65535).". Returns the trimmed name.
std::string CheckIniNodeData(std::string_view name, std::string_view value);
// Raises "Invalid value (length > 65535)." for a value over the limit.
void CheckIniNodeValue(std::string_view value);

// A new block for name (trimmed, checked) and value. Free it with FreeIniNodeData.
TIniNodeData* NewIniNodeData(std::string_view name, std::string_view value);
// Re-sizes data for the new value (checked first; on any failure data is unchanged) and
// returns the block, which may have moved.
TIniNodeData* ResizeIniNodeValue(TIniNodeData* data, std::string_view value);
void FreeIniNodeData(TIniNodeData* data);
