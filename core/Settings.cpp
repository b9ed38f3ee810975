#include "core/Settings.h"

#include "kztools/kzIniTools.h"
#include "platform/CodePage.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"

namespace {

const char kRootKey[] = "Option";
const char kExtrasKey[] = "Tavelo";
const char kRecognise[] = "Recognise";

std::string ReadText(TKZIniFile& ini, const char* name) {
  return platform::GbkToUtf8(ini.ReadString(name));
}

void WriteText(TKZIniFile& ini, const char* name, const std::string& utf8) {
  ini.WriteString(name, platform::Utf8ToGbk(utf8));
}

void ReadExtras(TKZIniFile& ini, TSettings& s) {
  TTreeListNode* node = nullptr;
  if (!ini.FindRootKey(kExtrasKey, node)) return;
  ini.OpenRootKey(kExtrasKey);
  ini.OpenFirstSubKey();
  std::string value;
  if (ini.SubKeyOpened() && ini.TryReadValue(kRecognise, value)) s.recognise = ini.ReadBool(kRecognise);
  if (ini.SubKeyOpened()) ini.CloseSubKey();
}

void WriteExtras(TKZIniFile& ini, const TSettings& s) {
  if (!s.recognise) return;
  ini.OpenRootKey(kExtrasKey);
  ini.OpenFirstSubKey();
  if (!ini.SubKeyOpened()) ini.AddSubKey();
  ini.WriteBool(kRecognise, *s.recognise);
  ini.CloseSubKey();
}

}  // namespace

std::string SettingsFileFor(const std::string& executablePath) {
  return platform::ChangeFileExt(executablePath, ".ini");
}

std::optional<TSettings> LoadSettingsFile(const std::string& file) {
  if (!platform::FileExists(file)) return std::nullopt;
  TKZIniFile ini;
  ini.LoadFromFile(file);
  ini.SetQuotedStrings(true);
  ini.OpenRootKey(kRootKey);
  ini.OpenFirstSubKey();
  if (!ini.SubKeyOpened()) return std::nullopt;
  TSettings s;
  for (size_t i = 0; i < kLayerCount; ++i) s.layers[i] = ini.ReadBool(kLayerCodes[i].code);
  s.name = ReadText(ini, "Name");
  s.tel = ReadText(ini, "Tel");
  s.qq = ReadText(ini, "QQ");
  s.postcode = ReadText(ini, "PCard");
  s.address = ReadText(ini, "Addr");
  s.memo = ReadText(ini, "Memo");
  s.zip = ini.ReadBool("ZIP");
  s.path = ReadText(ini, "Path");
  ini.CloseSubKey();
  ReadExtras(ini, s);
  return s;
}

void SaveSettingsFile(const std::string& file, const TSettings& s) {
  TKZIniFile ini;
  if (platform::FileExists(file)) ini.LoadFromFile(file);
  ini.SetQuotedStrings(true);
  ini.OpenRootKey(kRootKey);
  ini.OpenFirstSubKey();
  if (!ini.SubKeyOpened()) ini.AddSubKey();
  if (ini.SubKeyOpened()) {
    for (size_t i = 0; i < kLayerCount; ++i) ini.WriteBool(kLayerCodes[i].code, s.layers[i]);
    WriteText(ini, "Name", s.name);
    WriteText(ini, "Tel", s.tel);
    WriteText(ini, "QQ", s.qq);
    WriteText(ini, "PCard", s.postcode);
    WriteText(ini, "Addr", s.address);
    WriteText(ini, "Memo", s.memo);
    ini.WriteBool("ZIP", s.zip);
    WriteText(ini, "Path", s.path);
    ini.CloseSubKey();
  }
  WriteExtras(ini, s);
  ini.SaveToFile(file);
}

std::vector<std::string> MemoLinesOf(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n')
      ++end;
    start = end + 1;
  }
  return lines;
}
