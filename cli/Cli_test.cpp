// Focus: tavelo-cli run as a process, as a user or a script runs it: saved choices and
// overrides, renames, contact sheet and archive, --plan leaving the folder untouched, the
// JSON form, --save, and every exit status. On Windows the same runs go through RunCli in
// the test's own process, since there is no POSIX shell to start the program with.
#include <gtest/gtest.h>
#include <stdio.h>

#ifndef _WIN32
#include <sys/stat.h>
#include <sys/wait.h>
#endif

#include <map>
#include <sstream>

#include "cli/CliRun.h"
#include "kztools/kzStrTools.h"
#include "platform/FileStream.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/testing/TempDir.h"
#include "platform/testing/TestPaths.h"

namespace {

// A path as JSON writes it: on Windows its backslashes are escaped.
std::string JsonPath(const std::string& path) {
  std::string out;
  for (char c : path) out += c == '\\' ? std::string("\\\\") : std::string(1, c);
  return out;
}

std::string Quote(const std::string& text) {
  std::string out = "'";
  for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

struct Outcome {
  int status = -1;
  std::string out, err;
};

class CliTest : public ::testing::Test {
 protected:
  // Runs tavelo-cli (program) with args and, unless told not to, the test's settings file.
  Outcome Cli(std::vector<std::string> args, bool withSettings = true,
              const std::string& program = TAVELO_CLI) {
    if (withSettings) args.insert(args.begin(), {"--settings", Ini()});
    Outcome o;
#ifdef _WIN32
    InitUpperTable();
    std::ostringstream out, err;
    o.status = RunCli(args, program, out, err);
    o.out = out.str();
    o.err = err.str();
#else
    std::string command = Quote(program);
    for (const std::string& a : args) command += " " + Quote(a);
    command += " 2>" + Quote(dir / "stderr.txt");
    FILE* pipe = popen(command.c_str(), "r");
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) o.out.append(buffer, n);
    const int status = pclose(pipe);
    o.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    o.err = platform::ReadWholeFile(dir / "stderr.txt");
#endif
    return o;
  }

  std::string Ini() const { return dir / "tavelo.ini"; }

  // A Protel export: four layers, README.txt and a report .txt beside the drill file.
  std::string MakeBoard(const std::string& name = "amp") {
    const std::string board = dir.MakeDir(name) + platform::kPathDelim;
    dir.Write(name + "/amp.GTL", "G04 top*\n%FSLAX25Y25*%\n");
    dir.Write(name + "/amp.GBL", "G04 bottom*\n%FSLAX25Y25*%\n");
    dir.Write(name + "/amp.GTO", "G04 overlay*\n");
    dir.Write(name + "/README.txt", "read me\n");
    dir.Write(name + "/amp-report.txt", "drill report\n");
    dir.Write(name + "/amp.TXT", "M48\r\nMETRIC\r\nT1C0.8\r\n%\r\nM30\r\n");
    return board;
  }

  void ExpectNames(const std::string& archive, const std::string& names) {
#ifdef _WIN32
    EXPECT_TRUE(platform::FileExists(archive)) << archive << " should hold " << names;
#else
    EXPECT_EQ(ZipNames(archive), names);
#endif
  }

  std::map<std::string, std::string> Snapshot(const std::string& folder) {
    std::map<std::string, std::string> files;
    for (const auto& e : platform::ListFolder(folder))
      files[e.name] = e.isDir ? "<dir>" : platform::ReadWholeFile(folder + e.name);
    return files;
  }

  // The names inside an archive, as Python's zipfile lists them (on Linux; Windows has no
  // Python to ask, and only the archive's presence is checked there).
  std::string ZipNames(const std::string& archive) {
#ifdef _WIN32
    return platform::FileExists(archive) ? "(not listed on Windows)" : "(no archive)";
#endif
    FILE* pipe = popen(("python3 -c 'import sys,zipfile; print(\",\".join(zipfile.ZipFile("
                        "sys.argv[1]).namelist()))' " + Quote(archive)).c_str(), "r");
    std::string out;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
    pclose(pipe);
    return out;
  }

  platform::testing::TempDir dir;
};

TEST_F(CliTest, PacksTheBoardWithChineseDetailsLikeTheWindow) {
  const std::string board = MakeBoard();
  Outcome o = Cli({"--layers", "GTL,gbl,Gto,txt", "--zip", "--name", "张三", "--tel", "123",
                   "--address", "某路1号", "--memo", "first\nsecond", board});
  ASSERT_EQ(o.status, 0) << o.err;
  ASSERT_EQ(o.out.rfind("压缩文件名：张三-", 0), 0u) << o.out;
  const std::string archive = o.out.substr(std::string("压缩文件名：").size(),
                                           o.out.size() - std::string("压缩文件名：").size() - 1);
  ExpectNames(board + archive, "GTO,GTL,GBL,TXT,Contect.txt\n");
  EXPECT_EQ(platform::ReadWholeFile(board + "TXT"), "M48\r\nMETRIC\r\nT1C0.8\r\n%\r\nM30\r\n");
  EXPECT_TRUE(platform::FileExists(board + "README.txt"));
  EXPECT_TRUE(platform::FileExists(board + "amp-report.txt"));
  EXPECT_EQ(platform::ReadWholeFile(board + "Contect.txt"),
            "Tavelo v1.0 / Program by dovan.ke\r\n" + std::string(40, '=') + "\r\n\r\n"
            "\xD0\xD5\xC3\xFB\xA3\xBA\xD5\xC5\xC8\xFD\r\n"
            "\xB5\xE7\xBB\xB0\xA3\xBA" "123\r\n"
            "\xB5\xD8\xD6\xB7\xA3\xBA\xC4\xB3\xC2\xB7" "1\xBA\xC5\r\n"
            "\xB1\xB8\xD7\xA2\xA3\xBA" "first\r\n"
            "\xA1\xA1\xA1\xA1\xA1\xA1" "second\r\n");
  EXPECT_FALSE(platform::FileExists(Ini())) << "no --save: the settings file is never written";
}

TEST_F(CliTest, PlanChangesNothingAndTellsWhatExecuteWouldDo) {
  const std::string board = MakeBoard();
  dir.Write("amp/GBL", "already renamed");
  const auto before = Snapshot(board);
  Outcome o = Cli({"--plan", "--layers", "GTL,GBL,GTP,TXT", "--no-zip", board});
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(o.out, "GTP: 文件没有找到：*.GTP\nGTL: amp.GTL\nGBL: 文件已经存在：GBL (amp.GBL)\n"
                   "TXT: amp.TXT\nContect.txt: " + board + "Contect.txt\n"
                   "缺少外形层：GKO\n");  // the checks before the files go out
  EXPECT_EQ(Snapshot(board), before);

  o = Cli({"--plan", "--json", "--layers", "GTP,GTL", "--no-zip", board});
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(o.out, "{\"folder\": \"" + JsonPath(board) + "\", \"layers\": [{\"code\": \"GTP\", \"file\": null, "
                   "\"outcome\": \"not-found\"}, {\"code\": \"GTL\", \"file\": \"amp.GTL\", "
                   "\"outcome\": \"planned\"}], \"contactSheet\": \"" + JsonPath(board) + "Contect.txt\", "
                   "\"archive\": null, \"messages\": [\"文件没有找到：*.GTP\"], \"files\": ["
                   "{\"name\": \"amp-report.txt\", \"kind\": \"other\", \"function\": null, "
                   "\"evidence\": null}, {\"name\": \"amp.GBL\", \"kind\": \"gerber\", \"function\": "
                   "\"bottom copper\", \"evidence\": \"file name: Protel extension .GBL\"}, {\"name\": "
                   "\"amp.GTL\", \"kind\": \"gerber\", \"function\": \"top copper\", \"evidence\": "
                   "\"file name: Protel extension .GTL\"}, {\"name\": \"amp.GTO\", \"kind\": \"other\", "
                   "\"function\": null, \"evidence\": null}, {\"name\": \"amp.TXT\", \"kind\": "
                   "\"excellon\", \"function\": \"drill\", \"evidence\": \"Excellon drill file without "
                   "plating information\"}, {\"name\": \"GBL\", \"kind\": \"other\", \"function\": null, "
                   "\"evidence\": null}, {\"name\": \"README.txt\", \"kind\": \"other\", \"function\": "
                   "null, \"evidence\": null}], \"warnings\": [\"缺少外形层：GKO\", \"缺少钻孔文件：TXT\"], "
                   "\"error\": null}\n");
  EXPECT_EQ(Snapshot(board), before);
}

TEST_F(CliTest, SavedChoicesAreUsedAndWrittenOnlyWithSave) {
  const std::string board = MakeBoard();
  const std::string saved =
      "Option:[%RootKey%]\r\n[%\r\n  GTL:TRUE\r\n  Name:\"\xD5\xC5\xC8\xFD\"\r\n"
      "  ZIP:FALSE\r\n  Path:\"" + board.substr(0, board.size() - 1) + "\"\r\n%]\r\n";
  platform::WriteWholeFile(Ini(), saved);
  Outcome o = Cli({"--json"});
  EXPECT_EQ(o.status, 0) << o.out;
  EXPECT_NE(o.out.find("{\"code\": \"GTL\", \"file\": \"amp.GTL\", \"outcome\": \"renamed\"}"),
            std::string::npos) << o.out;
  EXPECT_NE(o.out.find("\"messages\": [\"执行成功。\"]"), std::string::npos) << o.out;
  EXPECT_TRUE(platform::FileExists(board + "GTL"));
  EXPECT_EQ(platform::ReadWholeFile(Ini()), saved);

  o = Cli({"--save", "--layers", "none", "--tel", "9", board});
  EXPECT_EQ(o.status, 0);
  EXPECT_EQ(o.out, "执行成功。\n");
  // As the window saves: values already in the block keep their places, the others follow
  // in their order, and the folder is kept without its trailing "/".
  std::string appended;
  for (const char* c : {"GTO", "GTP", "GTS", "GBO", "GBP", "GBS", "GBL", "GKO", "GM1", "GPT",
                        "GPB", "TXT"})
    appended += std::string("  ") + c + ":FALSE\r\n";
  EXPECT_EQ(platform::ReadWholeFile(Ini()),
            "Option:[%RootKey%]\r\n[%\r\n  GTL:FALSE\r\n  Name:\"\xD5\xC5\xC8\xFD\"\r\n"
            "  ZIP:FALSE\r\n  Path:\"" + board.substr(0, board.size() - 1) + "\"\r\n" + appended +
            "  Tel:\"9\"\r\n  QQ:\"\"\r\n  PCard:\"\"\r\n  Addr:\"\"\r\n  Memo:\"\"\r\n%]\r\n");
}

TEST_F(CliTest, RecognitionTakesAKiCadExportsFilesOnlyWhenAskedFor) {
  const std::string board = dir.MakeDir("kicad") + platform::kPathDelim;
  dir.Write("kicad/board-F_Cu.gbr", "%TF.FileFunction,Copper,L1,Top*%\n%FSLAX46Y46*%\n%MOMM*%\nM02*\n");
  dir.Write("kicad/board-Edge_Cuts.gbr", "%TF.FileFunction,Profile,NP*%\n%FSLAX46Y46*%\nM02*\n");
  dir.Write("kicad/board-PTH.drl", "M48\n; #@! TF.FileFunction,Plated,1,2,PTH\nMETRIC\nT1C0.8\n%\nM30\n");
  Outcome off = Cli({"--layers", "GTL,GKO,TXT", "--no-zip", board});
  EXPECT_EQ(off.status, 1);
  EXPECT_EQ(off.out, "文件没有找到：*.GTL\n文件没有找到：*.GKO\n文件没有找到：*.TXT\n");

  Outcome on = Cli({"--recognise", "--layers", "GTL,GKO,TXT", "--zip", "--name", "k", board});
  EXPECT_EQ(on.status, 0) << on.out << on.err;
  EXPECT_EQ(platform::ReadWholeFile(board + "GTL").rfind("%TF.FileFunction,Copper,L1,Top*%", 0), 0u);
  EXPECT_TRUE(platform::FileExists(board + "GKO"));
  EXPECT_TRUE(platform::FileExists(board + "TXT"));
  const std::string archive = on.out.substr(on.out.find("k-"), on.out.find(".zip") + 4 - on.out.find("k-"));
  ExpectNames(board + archive, "GTL,GKO,TXT,Contect.txt\n");
}

TEST_F(CliTest, RecognitionSendsAnOutlineInGm1AsGkoWhileGm1StaysHome) {
  const std::string outline = "%TF.FileFunction,Profile,NP*%\n%FSLAX46Y46*%\nM02*\n";
  for (const bool gm1Ticked : {false, true}) {
    const std::string board = dir.MakeDir(gm1Ticked ? "both" : "gko") + platform::kPathDelim;
    dir.Write((gm1Ticked ? "both" : "gko") + std::string("/board-Edge_Cuts.gm1"), outline);
    Outcome run = Cli({"--recognise", "--layers", gm1Ticked ? "GKO,GM1" : "GKO", "--no-zip", board});
    if (gm1Ticked) {  // the designed rule gives the file to GM1
      EXPECT_EQ(run.status, 1) << run.out << run.err;
      EXPECT_EQ(run.out.rfind("文件没有找到：*.GKO\n", 0), 0u) << run.out;
      EXPECT_EQ(platform::ReadWholeFile(board + "GM1"), outline);
    } else {
      EXPECT_EQ(run.status, 0) << run.out << run.err;
      EXPECT_EQ(platform::ReadWholeFile(board + "GKO"), outline);
    }
  }
}

TEST_F(CliTest, ExitStatusesAndMessages) {
  const std::string board = MakeBoard();
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string out;   // exact standard output
    std::string err;   // start of standard error
  };
  const std::vector<Case> cases = {
      {{"--layers", "none", board}, 0, "执行成功。\n", ""},
      {{"--layers", "GTP", board}, 1, "文件没有找到：*.GTP\n", ""},
      {{"--layers", "GTP", dir / "missing"}, 2, "",
       "Cannot create file \"" + dir / "missing/Contect.txt\". " +
           platform::testing::Cause(platform::testing::kNoSuchPath) + "\n"},
      {{"--bogus", board}, 64, "", "tavelo-cli: unknown option: --bogus\nusage: tavelo-cli"},
      {{"--layers", "GTL,XYZ", board}, 64, "", "tavelo-cli: unknown layer code: XYZ\nusage:"},
      {{"--name"}, 64, "", "tavelo-cli: option --name needs a value\n"},
      {{board, board}, 64, "", "tavelo-cli: more than one folder given"},
      {{"--layers", "none"}, 64, "", "tavelo-cli: no folder given, and none saved\n"},
      {{"--version"}, 0, "tavelo-cli 1.0 (Tavelo v1.0)\n", ""},
  };
  for (const Case& c : cases) {
    Outcome o = Cli(c.args);
    EXPECT_EQ(o.status, c.status) << c.args[0] << "\n" << o.err;
    EXPECT_EQ(o.out, c.out) << c.args[0];
    EXPECT_EQ(o.err.rfind(c.err, 0), 0u) << c.args[0] << ": " << o.err;
  }
  Outcome help = Cli({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.out.rfind("usage: tavelo-cli [options] [FOLDER]\n", 0), 0u);

  Outcome json = Cli({"--json", "--layers", "GTO", dir / "missing"});
  EXPECT_EQ(json.status, 2);
  EXPECT_NE(json.out.find("\"outcome\": \"not-found\"}], \"contactSheet\": null, \"archive\": "
                          "null, \"messages\": [\"文件没有找到：*.GTO\"], \"error\": \"Cannot "
                          "create file \\\"" + JsonPath(dir / "missing/Contect.txt") + "\\\". "),
            std::string::npos) << json.out;
}

TEST_F(CliTest, SettingsFileBesideTheProgramIsTheDefault) {
  // Without --settings the program reads tavelo.ini in its own folder: a copy of the
  // program in the test's folder finds the test's file there.
  const std::string board = MakeBoard();
  const std::string program = dir / "tavelo-cli";
  platform::WriteWholeFile(program, platform::ReadWholeFile(TAVELO_CLI));
#ifndef _WIN32
  ASSERT_EQ(chmod(program.c_str(), 0755), 0);
#endif
  platform::WriteWholeFile(Ini(), "Option:[%RootKey%]\r\n[%\r\n  GTO:TRUE\r\n  Path:\"" + board +
                                      "\"\r\n%]\r\n");
  Outcome o = Cli({"--plan"}, false, program);
  EXPECT_EQ(o.out.rfind("GTO: amp.GTO\nContect.txt: " + board + "Contect.txt\n", 0), 0u) << o.out;
}

}  // namespace
