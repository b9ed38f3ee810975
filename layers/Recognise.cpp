#include "layers/Recognise.h"

#include <array>

#include "layers/ContentRecogniser.h"
#include "layers/FileSample.h"
#include "layers/PhysicalOrder.h"
#include "layers/Text.h"
#include "platform/Exception.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"

namespace layers {

namespace {

// Job files are a few kilobytes; a larger one is read this far, and then fails to parse.
constexpr size_t kJobFileLimit = 1024 * 1024;

bool IsJobFile(std::string_view name) {
  constexpr std::string_view kExt = ".gbrjob";
  return name.size() > kExt.size() && EqualsIgnoringCase(name.substr(name.size() - kExt.size()), kExt);
}

// An Excellon file holds holes; evidence naming any other function does not apply to it.
bool Fits(FileKind kind, const MaybeFinding& finding) {
  if (!finding) return false;
  return kind != FileKind::Excellon || !finding->function.IsKnown() || finding->function.IsDrill();
}

std::vector<platform::DirEntry> PlainFiles(const std::string& folder) {
  std::vector<platform::DirEntry> files;
  std::vector<platform::DirEntry> listed;
  try {
    listed = platform::ListFolder(folder);
  } catch (const Exception&) {
    return files;  // a folder that cannot be listed holds nothing to recognise
  }
  for (platform::DirEntry& entry : listed) {
    if (entry.IsPlainFile()) files.push_back(std::move(entry));
  }
  return files;
}

}  // namespace

RecognisedFile RecogniseContent(std::string_view name, std::string_view head, std::string_view tail,
                                const GerberJobFindings& jobs, const NameContext& context) {
  const ContentFacts facts = ReadContentFacts(head, tail);
  RecognisedFile file{std::string(name), facts.kind, {}, {}};
  if (facts.kind == FileKind::Other) return file;
  const MaybeFinding physicalOrder =
      facts.kind == FileKind::Gerber ? FindingFromPhysicalOrder(name, head) : std::nullopt;
  const std::array<MaybeFinding, 7> inOrderOfTrust = {
      facts.x2Attribute,    facts.x2Comment,      jobs.For(name),
      facts.headerLayerName, physicalOrder,       facts.platingComment,
      FindingFromFileName(name, facts.kind, context)};
  for (const MaybeFinding& finding : inOrderOfTrust) {
    if (!Fits(facts.kind, finding)) continue;
    // Evidence that a file is inner copper of unknown number leaves room for weaker
    // evidence of the number (a pcb-rnd "Intern" group exported as ".g2l"), and for
    // nothing else.
    if (file.unnumberedInnerCopper && finding->function.kind != FunctionKind::InnerCopper) continue;
    file.function = finding->function;
    file.evidence = finding->evidence;
    file.unnumberedInnerCopper = finding->unnumberedInnerCopper;
    if (!file.unnumberedInnerCopper) return file;
  }
  if (file.unnumberedInnerCopper) return file;
  if (facts.kind == FileKind::Excellon) {
    file.function = {FunctionKind::Drill};
    file.evidence = "Excellon drill file without plating information";
  }
  return file;
}

std::vector<RecognisedFile> RecogniseFolder(const std::string& folder) {
  const std::string path = platform::IncludeTrailingDelimiter(folder);
  const std::vector<platform::DirEntry> entries = PlainFiles(path);
  std::vector<std::string> names;
  GerberJobFindings jobs;
  for (const platform::DirEntry& entry : entries) {
    names.push_back(entry.name);
    if (IsJobFile(entry.name)) jobs.Add(entry.name, ReadFileHead(path + entry.name, kJobFileLimit));
  }
  const NameContext context = NameContextOf(names);
  std::vector<RecognisedFile> files;
  for (const platform::DirEntry& entry : entries) {
    const FileSample sample = ReadFileSample(path + entry.name);
    files.push_back(RecogniseContent(entry.name, sample.head, sample.tail, jobs, context));
  }
  return files;
}

}  // namespace layers
