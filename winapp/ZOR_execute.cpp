// Execute from the window: the controls fill the request, the core runs it, and the window
// shows the result report (or, through Guarded, the error box).
#include "core/Execute.h"
#include "platform/UiHooks.h"
#include "winapp/MemoLines.h"
#include "winapp/ZOR_form.h"

namespace winapp {

TExecuteRequest TfrmZOR::Request() const {
  const TSettings s = CurrentSettings();
  TExecuteRequest request;
  request.folder = s.path;
  request.ticked = s.layers;
  request.contact = {s.name, s.tel, s.qq, s.postcode, s.address, MemoLines()};
  request.pack = s.zip;
  request.recognise = recognise_.value_or(false);
  request.clock = clock_;
  return request;
}

std::vector<std::string> TfrmZOR::MemoLines() const {
  std::vector<std::string> lines;
  for (const std::wstring& line : DisplayedLines(edtMemo)) lines.push_back(platform::win32::Narrow(line));
  return lines;
}

void TfrmZOR::Execute() {
  const TExecuteRequest request = Request();
  workingFolder_ = WorkingFolderOf(request.folder);
  TExecuteReport report;
  RunExecute(request, ZipWriter1, report);
  platform::ShowMessage(ResultText(report.messages));
}

}  // namespace winapp
