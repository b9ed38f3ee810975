#include "cli/CliRun.h"

#include <optional>

#include "cli/CliOptions.h"
#include "cli/JsonReport.h"
#include "cli/ProgressLine.h"
#include "core/Execute.h"
#include "core/Settings.h"
#include "core/SettingsLocation.h"
#include "platform/Paths.h"

namespace {

const char kVersion[] = "tavelo-cli 1.0 (Tavelo v1.0)\n";
const char kSettingsName[] = "tavelo.ini";

// The saved choices with the command line's overrides on top.
TSettings Choices(const TCliOptions& o, const std::optional<TSettings>& saved) {
  TSettings s = saved.value_or(TSettings{});
  if (o.layers) s.layers = *o.layers;
  if (o.zip) s.zip = *o.zip;
  for (auto [given, field] : {std::pair{&o.name, &s.name}, {&o.tel, &s.tel}, {&o.qq, &s.qq},
                              {&o.postcode, &s.postcode}, {&o.address, &s.address}})
    if (*given) *field = **given;
  if (o.memo) {
    // Stored as the window stores its memo: lines separated by CR LF.
    s.memo.clear();
    for (const std::string& line : MemoLinesOf(*o.memo)) s.memo += (s.memo.empty() ? "" : "\r\n") + line;
  }
  if (o.folder) s.path = *o.folder;
  return s;
}

TExecuteRequest RequestOf(const TSettings& s, bool recognise) {
  TExecuteRequest request;
  request.folder = s.path;
  request.ticked = s.layers;
  request.contact = {s.name, s.tel, s.qq, s.postcode, s.address, MemoLinesOf(s.memo)};
  request.pack = s.zip;
  request.recognise = recognise || s.recognise.value_or(false);
  return request;
}

// The folder as the window stores it: no trailing delimiter except for the root.
std::string StoredPath(std::string path) {
  while (path.size() > 1 && path.back() == platform::kPathDelim) path.pop_back();
  return path;
}

void PrintPlan(const TExecuteReport& report, std::ostream& out) {
  for (const TLayerResult& layer : report.layers) {
    out << layer.code << ": ";
    switch (layer.outcome) {
      case TLayerOutcome::Planned: out << layer.file; break;
      case TLayerOutcome::NotFound: out << "文件没有找到：*." << layer.code; break;
      case TLayerOutcome::AlreadyExists:
        out << "文件已经存在：" << layer.code << " (" << layer.file << ")"; break;
      default: out << "文件改名失败：" << layer.code << " (" << layer.file << ")"; break;
    }
    out << "\n";
  }
  out << "Contect.txt: " << report.contactSheet.value_or("") << "\n";
  if (report.archive) out << "压缩文件名：" << *report.archive << "\n";
  for (const std::string& warning : report.warnings) out << warning << "\n";
}

class CliRun {
 public:
  CliRun(const TCliOptions& options, std::ostream& out, std::ostream& err, bool showProgress)
      : o_(options), out_(out), err_(err), showProgress_(showProgress && !options.json) {}

  int Run(const TSettingsLocation& settings) {
    const std::string& settingsFile = settings.file;
    try {
      const TSettings choices = Choices(o_, LoadSettingsFile(settingsFile));
      if (choices.path.empty()) throw EUsageError("no folder given, and none saved");
      TExecuteRequest request = RequestOf(choices, o_.recognise);
      if (o_.plan) {
        report_ = PlanExecute(request);
        messages_ = report_.messages;
      } else {
        TZipWriter writer;
        writer.SetThreads(TZipWriter::kAllCores);
        RunWithProgress(request, writer);
        messages_ = report_.messages;
        if (messages_.empty()) messages_.push_back("执行成功。");
      }
      if (o_.save) {
        TSettings stored = choices;
        stored.path = StoredPath(choices.path);
        PrepareSettingsFolder(settings);
        SaveSettingsFile(settingsFile, stored);
      }
    } catch (const EUsageError&) {
      throw;
    } catch (const std::exception& e) {
      error_ = e.what();
      if (messages_.empty()) messages_ = report_.messages;
    }
    Print();
    if (error_) return kExitError;
    return HasLayerMessages(report_) ? kExitLayerMessages : kExitDone;
  }

 private:
  // RunExecute with the progress line on a terminal; the line ends before any report.
  void RunWithProgress(TExecuteRequest& request, TZipWriter& writer) {
    if (!showProgress_) return RunExecute(request, writer, report_);
    TCliProgressLine line(err_);
    request.progress = [&line](int percent) { line.Show(percent); };
    RunExecute(request, writer, report_);
  }

  void Print() {
    if (o_.json) {
      out_ << JsonReport(report_, messages_, error_);
      return;
    }
    if (error_) {
      err_ << *error_ << "\n";
      return;
    }
    if (o_.plan) return PrintPlan(report_, out_);
    for (const std::string& line : messages_) out_ << line << "\n";
  }

  const TCliOptions& o_;
  std::ostream& out_;
  std::ostream& err_;
  const bool showProgress_;
  TExecuteReport report_;
  std::vector<std::string> messages_;
  std::optional<std::string> error_;
};

}  // namespace

int RunCli(const std::vector<std::string>& args, const std::string& executablePath,
           std::ostream& out, std::ostream& err, bool progressOnTerminal) {
  try {
    const TCliOptions options = ParseCliOptions(args);
    if (options.help) {
      out << UsageText();
      return kExitDone;
    }
    if (options.version) {
      out << kVersion;
      return kExitDone;
    }
    const TSettingsLocation settings =
        options.settingsFile
            ? TSettingsLocation{*options.settingsFile, std::string()}
            : SettingsLocationFor(platform::ExtractFilePath(executablePath) + kSettingsName);
    return CliRun(options, out, err, progressOnTerminal).Run(settings);
  } catch (const EUsageError& e) {
    err << "tavelo-cli: " << e.what() << "\n" << UsageText();
    return kExitUsage;
  }
}
