// Fuzz target for the settings store: arbitrary bytes are split into lines and loaded, the
// tree is saved, and values are read back with quoting on. Refused lines raise Exception,
// which is expected; crashes, out-of-bounds access, leaks and hangs are findings. Checks
// two properties on the way: a saved tree loads back to the same tree, and a string
// written with quoting reads back unchanged.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "kztools/kzIniTools.h"
#include "kztools/kzStrTools.h"
#include "platform/Exception.h"

namespace {

void Check(bool ok) {
  if (!ok) __builtin_trap();
}

// A value that reads as a root key line once written without the blank after its colon;
// such a tree legitimately changes shape when it is saved and loaded again.
bool HasMarkerValue(const TTreeListNode* root) {
  for (const TTreeListNode* key = root->firstChild; key; key = key->next) {
    for (const TTreeListNode* block = key->firstChild; block; block = block->next) {
      for (const TTreeListNode* v = block->firstChild; v; v = v->next) {
        if (StrUpperAscii(TKZIniFile::NodeValue(v)) == "[%ROOTKEY%]") return true;
      }
    }
  }
  return false;
}

void ReadBack(TKZIniFile& ini) {
  ini.SetQuotedStrings(true);
  const TTreeListNode* key = ini.TreeRoot()->firstChild;
  if (!key) return;
  ini.OpenRootKey(TKZIniFile::NodeName(key));
  ini.OpenFirstSubKey();
  if (!ini.SubKeyOpened()) return;
  for (const char* name : {"Name", "Memo", "Path", "GTO"}) {
    ini.ReadString(name);
    ini.ReadBool(name);
  }
  int budget = 64;  // lookups are linear: keep one input's work bounded
  for (const TTreeListNode* v = ini.OpenedSubKey()->firstChild; v && budget > 0;
       v = v->next, --budget) {
    const std::string name = TKZIniFile::NodeName(v);
    const std::string text = ini.ReadString(name);
    std::string raw;
    ini.TryReadValue(name, raw);
    // Writing the decoded text back with quoting must give the same text again, unless
    // its encoded form is over the length limit.
    if (EncodeValue(text).size() <= 65535) {
      ini.WriteString(name, text);
      Check(ini.ReadString(name) == text);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  InitUpperTable();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TStringList lines;
  lines.SetText(std::string_view(reinterpret_cast<const char*>(data), size));
  TKZIniFile ini;
  try {
    ini.LoadFromStrings(lines);
  } catch (const Exception&) {
    // A refused line: the tree keeps what the lines before it built.
  }
  TSaveIniFile first;
  ini.SaveToStrings(first);

  if (!HasMarkerValue(ini.TreeRoot())) {
    TKZIniFile again;
    again.LoadFromStrings(first);  // everything in a saved tree is loadable: no error
    TSaveIniFile second;
    again.SaveToStrings(second);
    Check(second.lines == first.lines);
  }

  try {
    ReadBack(ini);
  } catch (const Exception&) {
  }
  return 0;
}
