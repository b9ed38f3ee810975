// Loading of TKZIniFile: classifies each trimmed line (empty, comment, root key line, block
// opener, block closer, value line, anything else) and builds the key tree from them.
#include "kztools/kzIniNodeData.h"
#include "kztools/kzIniTools.h"
#include "kztools/kzStrTools.h"
#include "platform/Exception.h"
#include "platform/FileSystem.h"

namespace {

bool Contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

bool IsComment(std::string_view t) {
  return t.starts_with(";") || (t.size() >= 2 && t.starts_with("//"));
}

// The marker must follow the first ":" directly and end the line; any ASCII case.
bool IsRootKeyLine(std::string_view t) {
  return Contains(t, ":") && Contains(t, "[%") && Contains(t, "%]") &&
         StrUpperAscii(StrAfter(":", t, 1)) == "[%ROOTKEY%]";
}

}  // namespace

void TKZIniFile::LoadFromFile(const std::string& fileName) {
  if (!platform::FileExists(fileName)) throw Exception("Ini file:" + fileName + " not found.");
  // Read completely before the tree is touched, so a read error leaves it as it was.
  TStringList lines;
  lines.LoadFromFile(fileName);
  LoadFromStrings(lines);
}

void TKZIniFile::LoadFromStrings(const TStringList& lines) {
  Clear();
  bool inBlock = false;  // a block opener was read and no closer since
  for (const std::string& line : lines.lines) LoadLine(line, inBlock);
}

void TKZIniFile::LoadLine(const std::string& line, bool& inBlock) {
  const std::string t = StrTrim(line, 0);
  if (t.empty() || IsComment(t)) return;
  if (IsRootKeyLine(t)) {
    OpenRootKey(StrTrim(StrBefore(":", t, 1), 0));
    return;
  }
  if (t == "[%") {
    AddSubKey();
    inBlock = true;
    return;
  }
  if (t == "%]") {
    CloseSubKey();
    inBlock = false;
    return;
  }
  if (inBlock && Contains(t, ":")) {
    const std::string name = StrTrim(StrBefore(":", t, 1), 0);
    const std::string value = StrTrim(StrAfter(":", t, 1), 0);
    if (subKey_) {
      // Every value line is kept, duplicates included.
      AddNamedNode(subKey_, name, value);
    } else {
      // A root key line came after the opener: the value is checked, then dropped.
      CheckIniNodeData(name, value);
    }
  }
  // Anything else is ignored.
}
