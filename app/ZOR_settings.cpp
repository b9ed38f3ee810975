// Settings persistence from the window: the core reads and writes the "Option" block; the
// window moves the values into and out of its controls.
#include "app/ZOR_form.h"
#include "core/Settings.h"
#include "core/SettingsRescue.h"

namespace {

QString Q(const std::string& utf8) { return QString::fromUtf8(utf8); }
std::string Utf8(const QString& text) { return text.toUtf8().toStdString(); }

}  // namespace

void TfrmZOR::LoadSettings() {
  std::optional<TSettings> s = LoadSettingsFile(settingsFileName_);
  if (!s) return;
  for (size_t i = 0; i < kLayerCount; ++i) chkLayers[i]->setChecked(s->layers[i]);
  edtPerson->setText(Q(s->name));
  edtTel->setText(Q(s->tel));
  edtQQ->setText(Q(s->qq));
  edtPostcode->setText(Q(s->postcode));
  edtAddress->setText(Q(s->address));
  SetMemoText(Q(s->memo));
  chkZIP->setChecked(s->zip);
  if (!s->path.empty()) edtPath->SetPath(Q(s->path));
  recognise_ = s->recognise;
}

TSettings TfrmZOR::CurrentSettings() const {
  TSettings s;
  for (size_t i = 0; i < kLayerCount; ++i) s.layers[i] = chkLayers[i]->isChecked();
  s.name = Utf8(edtPerson->text());
  s.tel = Utf8(edtTel->text());
  s.qq = Utf8(edtQQ->text());
  s.postcode = Utf8(edtPostcode->text());
  s.address = Utf8(edtAddress->text());
  s.memo = Utf8(MemoText());
  s.zip = chkZIP->isChecked();
  s.path = Utf8(edtPath->Path());
  s.recognise = recognise_;
  return s;
}

// A file that cannot be loaded is kept aside and the choices go to a fresh one; the error
// box still tells, naming the kept file.
void TfrmZOR::SaveSettings() {
  PrepareSettingsFolder(settingsLocation_);
  SaveSettingsKeepingBrokenFile(settingsFileName_, CurrentSettings());
}
