// Focus: the preview in the Windows window: tooltips on the layer ticks that follow the folder,
// the activation and Execute; the layer panel that F2 opens beside the window, with the layers,
// the checks that follow the ticks; and recognition mode switched there, used by Execute and
// saved outside the Option block.
#include "platform/win32/WinApi.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "core/Settings.h"
#include "platform/FileStream.h"
#include "winapp/ControlText.h"
#include "winapp/testing/WindowFixture.h"

namespace winapp {
namespace {

constexpr size_t kGTO = 0, kGTL = 3, kGBL = 7, kGKO = 8;

std::string Cell(HWND list, int row, int column) {
  wchar_t text[512] = L"";
  ListView_GetItemText(list, row, column, text, 512);
  return platform::win32::Narrow(text);
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }
bool StartsWith(const std::string& text, const std::string& part) { return text.rfind(part, 0) == 0; }

class PreviewTest : public testing::WindowTest {
 protected:
  // A KiCad export beside Protel files, one layer already renamed and an outline.
  std::string MakeFolder() {
    const std::string board = dir.MakeDir("board");
    dir.Write("board/board-F_Cu.gbr", "%TF.FileFunction,Copper,L1,Top*%\n%FSLAX46Y46*%\nM02*\n");
    dir.Write("board/board-In1_Cu.gbr", "%TF.FileFunction,Copper,L2,Inr*%\n%FSLAX46Y46*%\nM02*\n");
    dir.Write("board/board.GBL", "G04 bottom*\n%FSLAX25Y25*%\nM02*\n");
    dir.Write("board/board.GKO", "G04 outline*\n%FSLAX25Y25*%\nM02*\n");
    dir.Write("board/GTO", "renamed before");
    dir.Write("board/board.GTO", "G04 top overlay*\n%FSLAX25Y25*%\nM02*\n");
    return board;
  }
  std::string Tip(size_t layer) const { return frm->LayerTips().TextOf(layer); }
  // Lets the window's messages run until done holds; the preview waits a short moment
  // after a change before it refreshes.
  static bool RunUntil(const std::function<bool()>& done) {
    for (int i = 0; i < 300; ++i) {
      ProcessPendingMessages(nullptr);
      DrainQuit();
      if (done()) return true;
      Sleep(10);
    }
    return false;
  }
  static void PressF2(TfrmZOR& w) {
    MSG f2{GetFocus() != nullptr ? GetFocus() : w.edtClose, WM_KEYDOWN, VK_F2, 0, 0, {}};
    DispatchOne(w.Handle(), f2, w.Keys());
  }
};

TEST_F(PreviewTest, TickTooltipsFollowTheFolderTheActivationAndExecute) {
  const std::string board = MakeFolder();
  TfrmZOR& w = Open();
  EXPECT_EQ(Tip(kGTL), "");  // no folder, no tooltips
  SetText(w.edtPath->Edit(), board);  // as the user types it
  ASSERT_TRUE(RunUntil([&] { return Contains(Tip(kGBL), "board.GBL"); })) << Tip(kGBL);
  EXPECT_EQ(Tip(kGBL), "将取：board.GBL（底层铜箔）\n依据：file name: Protel extension .GBL");
  EXPECT_TRUE(StartsWith(Tip(kGTL), "文件没有找到：*.GTL\n识别模式将取：board-F_Cu.gbr\n依据：X2 attribute"))
      << Tip(kGTL);
  EXPECT_TRUE(StartsWith(Tip(kGTO), "已经改名：GTO\n将取：board.GTO")) << Tip(kGTO);
  // The designed window is left as it is: captions unchanged and no panel until asked for.
  EXPECT_EQ(TextOf(w.chkLayers[kGTL]), "GTL - Top Layer");
  EXPECT_EQ(w.LayerPanel(), nullptr);

  // A file that appears while the user is in another program shows once the window is back.
  dir.Write("board/board.GTL", "G04 top*\n%FSLAX25Y25*%\nM02*\n");
  SendMessageW(w.Handle(), WM_ACTIVATE, WA_ACTIVE, 0);
  EXPECT_TRUE(RunUntil([&] { return StartsWith(Tip(kGTL), "将取：board.GTL"); })) << Tip(kGTL);

  SetTicked(w.chkLayers[kGBL], true);
  SendMessageW(w.edtGenerate, BM_CLICK, 0, 0);
  ASSERT_EQ(recorder.messages.size(), 1u);
  EXPECT_TRUE(RunUntil([&] { return StartsWith(Tip(kGBL), "已经改名：GBL\n文件没有找到：*.GBL"); })) << Tip(kGBL);
}

TEST_F(PreviewTest, F2OpensThePanelBesideTheWindowWithTheLayersAndTheChecks) {
  const std::string board = MakeFolder();
  TfrmZOR& w = Open();
  w.edtPath->SetPath(board);
  PressF2(w);
  ASSERT_NE(w.LayerPanel(), nullptr);
  TLayerPanel& panel = *w.LayerPanel();
  ASSERT_TRUE(panel.IsOpen());
  RECT window, beside;
  GetWindowRect(w.Handle(), &window);
  GetWindowRect(panel.Handle(), &beside);
  EXPECT_GT(beside.left, window.right - 1);
  EXPECT_EQ(beside.top, window.top);

  ASSERT_EQ(ListView_GetItemCount(panel.Layers()), 13);
  EXPECT_EQ(Cell(panel.Layers(), kGTL, 0), "GTL");
  EXPECT_EQ(Cell(panel.Layers(), kGTL, 1), "缺少");
  EXPECT_EQ(Cell(panel.Layers(), kGTL, 2), "board-F_Cu.gbr");  // what recognition would take
  EXPECT_EQ(Cell(panel.Layers(), kGTL, 3), "X2 attribute %TF.FileFunction,Copper,L1,Top*%");
  EXPECT_EQ(Cell(panel.Layers(), kGBL, 1), "有文件");
  EXPECT_EQ(Cell(panel.Layers(), kGTO, 1), "已改名");
  const std::string checks = TextOf(panel.Warnings());
  EXPECT_TRUE(Contains(checks, "缺少外形层：GKO\r\n")) << checks;
  EXPECT_TRUE(Contains(checks, "内层不会打包：board-In1_Cu.gbr（内层铜箔 1）\r\n")) << checks;

  // The checks judge the ticked layers: ticking GKO brings the outline.
  SendMessageW(w.chkLayers[kGKO], BM_CLICK, 0, 0);
  EXPECT_TRUE(RunUntil([&] { return !Contains(TextOf(panel.Warnings()), "缺少外形层"); }))
      << TextOf(panel.Warnings());

  // Closing hides the panel; F2 brings the same one back.
  SendMessageW(panel.Handle(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(panel.IsOpen());
  EXPECT_TRUE(IsWindow(w.Handle()));
  PressF2(w);
  EXPECT_EQ(w.LayerPanel(), &panel);
  EXPECT_TRUE(panel.IsOpen());
}

TEST_F(PreviewTest, TheRecognitionSwitchDrivesExecuteAndIsSavedBesideTheOptionBlock) {
  const std::string board = MakeFolder();
  TSettings s;
  s.layers[kGTL] = true;
  s.name = "张三";
  s.path = board;
  const std::string ini = dir / "tavelo.ini";
  SaveSettingsFile(ini, s);
  const std::string designed = platform::ReadWholeFile(ini);

  TfrmZOR& w = Open();
  TLayerPanel& panel = w.OpenLayerPanel();
  EXPECT_FALSE(Ticked(panel.RecognitionBox()));  // off until chosen
  SendMessageW(panel.RecognitionBox(), BM_CLICK, 0, 0);  // as the user ticks it
  EXPECT_TRUE(w.RecognitionMode());
  EXPECT_EQ(Cell(panel.Layers(), kGTL, 1), "识别");
  EXPECT_TRUE(StartsWith(Tip(kGTL), "将取：board-F_Cu.gbr（顶层铜箔）")) << Tip(kGTL);

  SendMessageW(w.edtGenerate, BM_CLICK, 0, 0);
  ASSERT_EQ(recorder.messages.size(), 1u);
  EXPECT_TRUE(Contains(recorder.messages[0], "缺少外形层：GKO")) << recorder.messages[0];
  EXPECT_TRUE(StartsWith(platform::ReadWholeFile(board + "\\GTL"), "%TF.FileFunction,Copper,L1,Top*%"));

  CloseByTitleBar();
  // The Option block byte for byte as before, the mode in a root key of its own after it.
  EXPECT_EQ(platform::ReadWholeFile(ini), designed + "\r\nTavelo:[%RootKey%]\r\n[%\r\n  Recognise:TRUE\r\n%]\r\n");
  frm.reset();
  TfrmZOR& again = Open();
  EXPECT_TRUE(again.RecognitionMode());
  EXPECT_TRUE(Ticked(again.OpenLayerPanel().RecognitionBox()));
}

}  // namespace
}  // namespace winapp
