#include "kztools/kzIniNodeData.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "kztools/kzStrTools.h"
#include "platform/Exception.h"

namespace {

size_t BlockSize(size_t nameLength, size_t valueLength) {
  return sizeof(TIniNodeData) + nameLength + valueLength;
}

// Points name and value into the bytes that follow the fields; needed again whenever the
// block moves.
void PlaceRuns(TIniNodeData* data) {
  data->name = reinterpret_cast<char*>(data + 1);
  data->value = data->name + data->nameLength;
}

}  // namespace

uint32_t IniNameHash(std::string_view name) { return NameHash(StrUpperAscii(StrTrim(name, 0))); }

void CheckIniNodeValue(std::string_view value) {
  if (value.size() > kMaxIniValueLength) throw Exception("Invalid value (length > 65535).");
}

std::string CheckIniNodeData(std::string_view name, std::string_view value) {
  std::string trimmed = StrTrim(name, 0);
  if (trimmed.empty()) throw Exception("Invaild field name");
  if (trimmed.size() > kMaxIniNameLength) throw Exception("Invaild field (length > 255).");
  CheckIniNodeValue(value);
  return trimmed;
}

TIniNodeData* NewIniNodeData(std::string_view name, std::string_view value) {
  const std::string trimmed = CheckIniNodeData(name, value);
  void* block = std::malloc(BlockSize(trimmed.size(), value.size()));
  if (!block) throw std::bad_alloc();
  auto* data = new (block) TIniNodeData{};
  data->hash = NameHash(StrUpperAscii(trimmed));
  data->nameLength = static_cast<uint8_t>(trimmed.size());
  data->valueLength = static_cast<uint16_t>(value.size());
  PlaceRuns(data);
  if (!trimmed.empty()) std::memcpy(data->name, trimmed.data(), trimmed.size());
  if (!value.empty()) std::memcpy(data->value, value.data(), value.size());
  return data;
}

TIniNodeData* ResizeIniNodeValue(TIniNodeData* data, std::string_view value) {
  CheckIniNodeValue(value);
  // The new value may be a view into the old block, so copy it out before moving it.
  const std::string copy(value);
  void* block = std::realloc(data, BlockSize(data->nameLength, copy.size()));
  if (!block) throw std::bad_alloc();
  data = static_cast<TIniNodeData*>(block);
  data->valueLength = static_cast<uint16_t>(copy.size());
  PlaceRuns(data);
  if (!copy.empty()) std::memcpy(data->value, copy.data(), copy.size());
  return data;
}

void FreeIniNodeData(TIniNodeData* data) { std::free(data); }
