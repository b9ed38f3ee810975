// Settings persistence from the window: the core reads and writes the "Option" block; the
// window moves the values into and out of its controls.
#include "core/SettingsRescue.h"
#include "platform/win32/WinApi.h"
#include "winapp/ControlText.h"
#include "winapp/MemoLines.h"
#include "winapp/ZOR_form.h"

namespace winapp {

using platform::win32::Widen;

std::string TfrmZOR::MemoText() const { return TextOf(edtMemo); }

void TfrmZOR::SetMemoText(const std::string& text) { SetWindowTextW(edtMemo, WithCrLf(Widen(text)).c_str()); }

void TfrmZOR::LoadSettings() {
  std::optional<TSettings> s = LoadSettingsFile(settingsFileName_);
  if (!s) return;
  for (size_t i = 0; i < kLayerCount; ++i) SetTicked(chkLayers[i], s->layers[i]);
  SetText(edtPerson, s->name);
  SetText(edtTel, s->tel);
  SetText(edtQQ, s->qq);
  SetText(edtPostcode, s->postcode);
  SetText(edtAddress, s->address);
  SetMemoText(s->memo);
  SetTicked(chkZIP, s->zip);
  if (!s->path.empty()) edtPath->SetPath(s->path);
  recognise_ = s->recognise;
}

TSettings TfrmZOR::CurrentSettings() const {
  TSettings s;
  for (size_t i = 0; i < kLayerCount; ++i) s.layers[i] = Ticked(chkLayers[i]);
  s.name = TextOf(edtPerson);
  s.tel = TextOf(edtTel);
  s.qq = TextOf(edtQQ);
  s.postcode = TextOf(edtPostcode);
  s.address = TextOf(edtAddress);
  s.memo = MemoText();
  s.zip = Ticked(chkZIP);
  s.path = edtPath->Path();
  s.recognise = recognise_;
  return s;
}

// A settings file that cannot be loaded is kept aside, never lost, as in the Qt window.
void TfrmZOR::SaveSettings() { SaveSettingsKeepingBrokenFile(settingsFileName_, CurrentSettings()); }

}  // namespace winapp
