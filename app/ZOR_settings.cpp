// Settings persistence: the ticks, contact details, packaging choice and folder live in the
// first block of the root key "Option" of the settings file, as GBK text.
#include <QFile>

#include "app/LayerCodes.h"
#include "app/ZOR_form.h"
#include "kztools/kzIniTools.h"
#include "platform/CodePage.h"
#include "platform/FileSystem.h"

namespace {

std::string ToGbk(const QString& text) { return platform::Utf8ToGbk(text.toUtf8().toStdString()); }
QString FromGbk(const std::string& gbk) { return QString::fromUtf8(platform::GbkToUtf8(gbk)); }

}  // namespace

void TfrmZOR::LoadSettings() {
  if (!platform::FileExists(settingsFileName_)) return;
  TKZIniFile ini;
  ini.LoadFromFile(settingsFileName_);
  ini.SetQuotedStrings(true);
  ini.OpenRootKey("Option");
  ini.OpenFirstSubKey();
  if (!ini.SubKeyOpened()) return;
  for (size_t i = 0; i < kLayerCodes.size(); ++i)
    chkLayers[i]->setChecked(ini.ReadBool(kLayerCodes[i].code));
  edtPerson->setText(FromGbk(ini.ReadString("Name")));
  edtTel->setText(FromGbk(ini.ReadString("Tel")));
  edtQQ->setText(FromGbk(ini.ReadString("QQ")));
  edtPostcode->setText(FromGbk(ini.ReadString("PCard")));
  edtAddress->setText(FromGbk(ini.ReadString("Addr")));
  SetMemoText(FromGbk(ini.ReadString("Memo")));
  chkZIP->setChecked(ini.ReadBool("ZIP"));
  std::string path = ini.ReadString("Path");
  if (!path.empty()) edtPath->SetPath(FromGbk(path));
  ini.CloseSubKey();
}

void TfrmZOR::SaveSettings() {
  TKZIniFile ini;
  if (platform::FileExists(settingsFileName_)) ini.LoadFromFile(settingsFileName_);
  ini.SetQuotedStrings(true);
  ini.OpenRootKey("Option");
  ini.OpenFirstSubKey();
  if (!ini.SubKeyOpened()) ini.AddSubKey();
  if (ini.SubKeyOpened()) {
    for (size_t i = 0; i < kLayerCodes.size(); ++i)
      ini.WriteBool(kLayerCodes[i].code, chkLayers[i]->isChecked());
    ini.WriteString("Name", ToGbk(edtPerson->text()));
    ini.WriteString("Tel", ToGbk(edtTel->text()));
    ini.WriteString("QQ", ToGbk(edtQQ->text()));
    ini.WriteString("PCard", ToGbk(edtPostcode->text()));
    ini.WriteString("Addr", ToGbk(edtAddress->text()));
    ini.WriteString("Memo", ToGbk(MemoText()));
    ini.WriteBool("ZIP", chkZIP->isChecked());
    ini.WriteString("Path", ToGbk(edtPath->Path()));
    ini.CloseSubKey();
  }
  ini.SaveToFile(settingsFileName_);
}
