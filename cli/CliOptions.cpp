#include "cli/CliOptions.h"

#include <cstring>

#include "kztools/kzStrTools.h"

namespace {

// Options that take a value, and where it goes.
std::optional<std::string>* TextOption(TCliOptions& o, const std::string& name) {
  if (name == "--name") return &o.name;
  if (name == "--tel") return &o.tel;
  if (name == "--qq") return &o.qq;
  if (name == "--postcode") return &o.postcode;
  if (name == "--address") return &o.address;
  if (name == "--memo") return &o.memo;
  if (name == "--settings") return &o.settingsFile;
  return nullptr;
}

bool* FlagOption(TCliOptions& o, const std::string& name) {
  if (name == "--plan") return &o.plan;
  if (name == "--recognise") return &o.recognise;
  if (name == "--json") return &o.json;
  if (name == "--save") return &o.save;
  if (name == "--help" || name == "-h") return &o.help;
  if (name == "--version") return &o.version;
  return nullptr;
}

bool IsValueOption(const std::string& name) {
  TCliOptions probe;
  return name == "--layers" || TextOption(probe, name) != nullptr;
}

void SetValue(TCliOptions& o, const std::string& name, const std::string& value) {
  if (name == "--layers") o.layers = ParseLayerList(value);
  else *TextOption(o, name) = value;
}

}  // namespace

std::array<bool, kLayerCount> ParseLayerList(const std::string& list) {
  std::array<bool, kLayerCount> ticked{};
  const std::string upper = StrUpperAscii(list);
  if (upper == "ALL") ticked.fill(true);
  if (upper == "ALL" || upper == "NONE") return ticked;
  size_t start = 0;
  while (start <= upper.size()) {
    size_t end = upper.find(',', start);
    if (end == std::string::npos) end = upper.size();
    const std::string code = upper.substr(start, end - start);
    start = end + 1;
    if (code.empty()) continue;
    size_t i = 0;
    while (i < kLayerCount && code != kLayerCodes[i].code) ++i;
    if (i == kLayerCount) throw EUsageError("unknown layer code: " + code);
    ticked[i] = true;
  }
  return ticked;
}

TCliOptions ParseCliOptions(const std::vector<std::string>& args) {
  TCliOptions o;
  bool optionsEnded = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
      if (o.folder) throw EUsageError("more than one folder given: " + arg);
      o.folder = arg;
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    const size_t eq = arg.find('=');
    const std::string name = arg.substr(0, eq);
    if (IsValueOption(name)) {
      if (eq != std::string::npos) SetValue(o, name, arg.substr(eq + 1));
      else if (i + 1 < args.size()) SetValue(o, name, args[++i]);
      else throw EUsageError("option " + name + " needs a value");
    } else if (name == "--zip" || name == "--no-zip") {
      if (eq != std::string::npos) throw EUsageError("option " + name + " takes no value");
      o.zip = name == "--zip";
    } else if (bool* flag = FlagOption(o, name); flag != nullptr && eq == std::string::npos) {
      *flag = true;
    } else {
      throw EUsageError("unknown option: " + arg);
    }
  }
  return o;
}

const char* UsageText() {
  return "usage: tavelo-cli [options] [FOLDER]\n"
         "Renames the ticked layer files of FOLDER to their codes, writes Contect.txt and\n"
         "packs them into an archive, as the window's 执行 does with the saved choices.\n"
         "\n"
         "  --settings FILE   settings file to read (default: the window's tavelo.ini,\n"
         "                    beside the program or in ~/.config/tavelo/ when installed)\n"
         "  --save            write the choices of this run back to the settings file\n"
         "  --layers LIST     layer codes separated by commas, or all, or none\n"
         "                    (GTO GTP GTS GTL GBO GBP GBS GBL GKO GM1 GPT GPB TXT)\n"
         "  --zip, --no-zip   pack an archive, or not\n"
         "  --name TEXT  --tel TEXT  --qq TEXT  --postcode TEXT  --address TEXT\n"
         "  --memo TEXT       remarks; each line of TEXT is one line of the sheet\n"
         "  --recognise       recognition mode: a layer without a *.CODE file takes the\n"
         "                    file recognised as that layer by its content or name\n"
         "  --plan            change nothing; print what an Execute would do, with the\n"
         "                    layer each file holds and the checks before sending\n"
         "  --json            print one JSON object instead of text\n"
         "  --help, --version\n"
         "\n"
         "Exit status: 0 done, 1 a layer reported a problem, 2 an error ended the run,\n"
         "64 a bad command line.\n";
}
