#include "core/Execute.h"

#include <cstdio>

#include "core/ContactSheet.h"
#include "core/LayerPreview.h"
#include "core/LayerRename.h"
#include "platform/CodePage.h"
#include "platform/Exception.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/SystemError.h"
#include "platform/UiHooks.h"

namespace {

const char kNotFound[] = "文件没有找到：*.";
const char kExists[] = "文件已经存在：";
const char kRenameFailed[] = "文件改名失败：";
const char kArchiveMessage[] = "压缩文件名：";
const char kSuccess[] = "执行成功。";

// The message a layer outcome adds to the report; none for a success.
std::string LayerMessage(const TLayerResult& layer) {
  switch (layer.outcome) {
    case TLayerOutcome::NotFound: return kNotFound + layer.code;
    case TLayerOutcome::AlreadyExists: return kExists + layer.code;
    case TLayerOutcome::RenameFailed: return kRenameFailed + layer.code;
    case TLayerOutcome::Renamed:
    case TLayerOutcome::Planned: break;
  }
  return std::string();
}

void AddLayer(TExecuteReport& report, TLayerResult layer) {
  std::string message = LayerMessage(layer);
  if (!message.empty()) report.messages.push_back(message);
  report.layers.push_back(std::move(layer));
}

TContactDetails GbkDetails(const TContactFields& c) {
  TContactDetails d{platform::Utf8ToGbk(c.person), platform::Utf8ToGbk(c.tel),
                    platform::Utf8ToGbk(c.qq),     platform::Utf8ToGbk(c.postcode),
                    platform::Utf8ToGbk(c.address), {}};
  for (const std::string& line : c.memoLines) d.memoLines.push_back(platform::Utf8ToGbk(line));
  return d;
}

void WriteContactSheet(const TExecuteRequest& request, TExecuteReport& report) {
  const std::string path = report.workingFolder + kContactSheetFileName;
  BuildContactSheet(GbkDetails(request.contact)).SaveToFile(path);
  report.contactSheet = path;
}

// For the length of one pack, hands the writer's percent of the whole run to the request's
// progress callback; the writer's own handler is back in place afterwards.
class ProgressForwarding {
 public:
  ProgressForwarding(TZipWriter& writer, const std::function<void(int)>& progress)
      : writer_(writer), previous_(writer.OnTotalPercentDone) {
    if (progress)
      writer_.OnTotalPercentDone = [&progress](TZipWriter&, int percent) { progress(percent); };
  }
  ~ProgressForwarding() { writer_.OnTotalPercentDone = previous_; }
  ProgressForwarding(const ProgressForwarding&) = delete;
  ProgressForwarding& operator=(const ProgressForwarding&) = delete;

 private:
  TZipWriter& writer_;
  std::function<void(TZipWriter&, int)> previous_;
};

void PackArchive(const TExecuteRequest& request, TZipWriter& writer, TExecuteReport& report) {
  writer.FilesList.Add(report.workingFolder + kContactSheetFileName);
  const std::string name = ArchiveNameOf(request.contact.person, request.clock());
  writer.SetZipName(report.workingFolder + name);
  report.packed = writer.FilesList.lines;
  // A renamed layer that cannot be read would otherwise be left out of the archive in
  // silence, and the board maker would get a board without it: the run fails instead.
  writer.OnSkippingFile = [](TZipWriter&, TSkipReason reason, const std::string& file, int) {
    if (reason == TSkipReason::srFileOpenError) platform::ThrowOpenError(file, platform::LastSystemError());
  };
  {
    platform::WaitCursor wait;
    ProgressForwarding forwarding(writer, request.progress);
    writer.BuildArchive();
  }
  report.archive = name;
  report.messages.push_back(kArchiveMessage + name);
}

// The file each ticked layer takes in recognition mode (by layer index), and the checks'
// warnings; nothing when the mode is off, where each layer follows the designed rule.
std::vector<std::string> ChosenFiles(const TExecuteRequest& request, TExecuteReport& report) {
  std::vector<std::string> chosen(kLayerCount);
  if (!request.recognise) return chosen;
  const TLayerPreview preview = PreviewLayers(report.workingFolder, request.ticked, true);
  report.files = preview.files;
  report.warnings = preview.warnings;
  for (size_t i = 0; i < kLayerCount; ++i) chosen[i] = preview.plan[i].file;
  return chosen;
}

}  // namespace

std::string WorkingFolderOf(const std::string& folder) {
  return platform::IncludeTrailingDelimiter(folder);
}

std::string ArchiveNameOf(const std::string& person, const platform::LocalDateTime& t) {
  // "yyyy-mm-dd-hhnn": the minute is the finest step, so packs within one minute share a name.
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d-%02d%02d", t.year, t.month, t.day, t.hour,
                t.minute);
  return person + "-" + stamp + ".zip";
}

void RunExecute(const TExecuteRequest& request, TZipWriter& writer, TExecuteReport& report) {
  report = TExecuteReport{};
  report.workingFolder = WorkingFolderOf(request.folder);
  writer.FilesList.Clear();
  // Recognition looks at the folder before anything in it is renamed.
  const std::vector<std::string> chosen = ChosenFiles(request, report);
  for (size_t i = 0; i < kLayerCount; ++i) {
    if (!request.ticked[i]) continue;
    const std::string code = kLayerCodes[i].code;
    TLayerResult layer = request.recognise
                             ? RenameFileToCode(report.workingFolder, chosen[i], code)
                             : RenameLayer(report.workingFolder, code);
    if (layer.outcome == TLayerOutcome::Renamed && request.pack)
      writer.FilesList.Add(report.workingFolder + layer.code);
    AddLayer(report, std::move(layer));
  }
  for (const std::string& warning : report.warnings) report.messages.push_back(warning);
  WriteContactSheet(request, report);
  if (request.pack && writer.FilesList.Count() > 0) PackArchive(request, writer, report);
}

TExecuteReport PlanExecute(const TExecuteRequest& request) {
  TExecuteReport report;
  report.workingFolder = WorkingFolderOf(request.folder);
  const TLayerPreview preview = PreviewLayers(report.workingFolder, request.ticked, request.recognise);
  report.files = preview.files;
  report.warnings = preview.warnings;
  for (size_t i = 0; i < kLayerCount; ++i) {
    if (!request.ticked[i]) continue;
    TLayerResult layer = PlanFileToCode(report.workingFolder, preview.plan[i].file,
                                        kLayerCodes[i].code);
    if (layer.outcome == TLayerOutcome::Planned && request.pack)
      report.packed.push_back(report.workingFolder + layer.code);
    AddLayer(report, std::move(layer));
  }
  report.contactSheet = report.workingFolder + kContactSheetFileName;
  if (request.pack && !report.packed.empty()) {
    report.packed.push_back(*report.contactSheet);
    report.archive = ArchiveNameOf(request.contact.person, request.clock());
    report.messages.push_back(kArchiveMessage + *report.archive);
  }
  return report;
}

std::string ResultText(const std::vector<std::string>& messages) {
  if (messages.empty()) return std::string(kSuccess) + "\r\n";
  std::string text;
  for (const std::string& m : messages) text += m + "\r\n";
  return text;
}

bool HasLayerMessages(const TExecuteReport& report) {
  for (const TLayerResult& layer : report.layers)
    if (!LayerMessage(layer).empty()) return true;
  return false;
}

const char* OutcomeWord(TLayerOutcome outcome) {
  switch (outcome) {
    case TLayerOutcome::Renamed: return "renamed";
    case TLayerOutcome::NotFound: return "not-found";
    case TLayerOutcome::AlreadyExists: return "exists";
    case TLayerOutcome::RenameFailed: return "rename-failed";
    case TLayerOutcome::Planned: return "planned";
  }
  return "";
}
