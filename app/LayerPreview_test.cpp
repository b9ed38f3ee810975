// Focus: the preview in the window: the layer ticks' marks and tooltips for the chosen
// folder, the layer panel with the checks, and recognition mode switched from the panel,
// remembered outside the Option block and used by Execute.
#include <QApplication>

#include "app/LayerMarks.h"
#include "app/testing/WindowFixture.h"
#include "platform/FileStream.h"
#include "platform/FileSystem.h"

namespace {

QString Mark(QCheckBox* box) { return box->property("mark").toString(); }

}  // namespace

class PreviewTest : public WindowTest {
 protected:
  // A KiCad export beside one Protel file and a layer that is already renamed.
  std::string MakeFolder() {
    const std::string board = dir.MakeDir("board") + "/";
    dir.Write("board/board-F_Cu.gbr", "%TF.FileFunction,Copper,L1,Top*%\n%FSLAX46Y46*%\nM02*\n");
    dir.Write("board/board-In1_Cu.gbr", "%TF.FileFunction,Copper,L2,Inr*%\n%FSLAX46Y46*%\nM02*\n");
    dir.Write("board/board.GBL", "G04 bottom*\n%FSLAX25Y25*%\nM02*\n");
    dir.Write("board/GTO", "renamed before");
    dir.Write("board/board.GTO", "G04 top overlay*\n%FSLAX25Y25*%\nM02*\n");
    return board;
  }
};

TEST_F(PreviewTest, TicksShowWhatEachLayerWillTake) {
  const std::string board = MakeFolder();
  auto w = OpenWindow();
  EXPECT_EQ(Mark(w->chkGTL), "");  // no folder, no marks
  w->edtPath->SetPath(QString::fromStdString(board));
  w->RefreshPreview();
  EXPECT_EQ(Mark(w->chkGBL), "present");
  EXPECT_EQ(Mark(w->chkGTO), "renamed");
  EXPECT_EQ(Mark(w->chkGTL), "missing");
  EXPECT_TRUE(w->chkGBL->toolTip().contains("board.GBL"));
  EXPECT_TRUE(w->chkGTL->toolTip().contains(QString::fromUtf8("识别模式将取：board-F_Cu.gbr")))
      << w->chkGTL->toolTip().toStdString();
  EXPECT_EQ(w->chkGTL->text(), "GTL - Top Layer");  // captions stay as designed

  // A file appearing while the user is in another program shows once the window is back.
  dir.Write("board/board.GTL", "G04 top*\n%FSLAX25Y25*%\nM02*\n");
  QEvent activation(QEvent::ActivationChange);
  w->activateWindow();
  QApplication::processEvents();
  w->RefreshPreview();
  EXPECT_EQ(Mark(w->chkGTL), "present");
}

TEST_F(PreviewTest, PanelListsTheChecksAndSwitchesRecognitionForExecute) {
  const std::string board = MakeFolder();
  auto w = OpenWindow();
  w->edtPath->SetPath(QString::fromStdString(board));
  w->chkGTL->setChecked(true);
  TLayerPanel* panel = w->OpenLayerPanel();
  ASSERT_TRUE(panel->isVisible());
  EXPECT_EQ(panel->Layers()->topLevelItemCount(), 13);
  QStringList warnings;
  for (int i = 0; i < panel->Warnings()->count(); ++i) warnings << panel->Warnings()->item(i)->text();
  EXPECT_TRUE(warnings.contains(QString::fromUtf8("缺少外形层：GKO"))) << warnings.join("|").toStdString();
  EXPECT_TRUE(warnings.join("|").contains(QString::fromUtf8("内层不会打包：board-In1_Cu.gbr")))
      << warnings.join("|").toStdString();

  panel->RecognitionBox()->setChecked(true);  // as the user ticks it
  EXPECT_TRUE(w->RecognitionMode());
  EXPECT_EQ(Mark(w->chkGTL), "recognised");
  w->edtGenerateClick();
  EXPECT_EQ(platform::ReadWholeFile(board + "GTL").rfind("%TF.FileFunction,Copper,L1,Top*%", 0), 0u);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_TRUE(QString::fromStdString(messages[0]).contains(QString::fromUtf8("缺少外形层：GKO")));

  CloseWindow(w);
  const std::string ini = platform::ReadWholeFile(dir / "tavelo.ini");
  EXPECT_NE(ini.find("%]\r\n\r\nTavelo:[%RootKey%]\r\n[%\r\n  Recognise:TRUE\r\n%]\r\n"), std::string::npos) << ini;
  auto again = OpenWindow();
  EXPECT_TRUE(again->RecognitionMode());
}
