#include "app/ZOR_form.h"

#include <QApplication>
#include <QKeyEvent>

#include "app/Anchors.h"
#include "app/AppIcon.h"
#include "app/testing/WindowFixture.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"

namespace {

struct Placement {
  const char* name;
  const char* caption;  // empty: not checked
  QRect rect;           // height 0: natural height, not checked
};

QString CaptionOf(QWidget* w) {
  if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->text();
  if (auto* g = qobject_cast<QGroupBox*>(w)) return g->title();
  if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
  return {};
}

}  // namespace

TEST_F(WindowTest, EveryControlStandsAtItsDesignedPlaceWithItsCaption) {
  auto w = OpenWindow();
  EXPECT_EQ(w->windowTitle(), "Tavelo v1.0");
  EXPECT_EQ(w->size(), QSize(601, 523));
  EXPECT_FALSE(w->windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_TRUE(w->windowFlags() & Qt::WindowMinimizeButtonHint);
  const std::vector<std::pair<QWidget*, Placement>> table = {
      {w->cxGroupBox3, {"cxGroupBox3", "文件目录", {12, 8, 577, 77}}},
      {w->Label8, {"Label8", "目录：", {16, 32, 36, 17}}},
      {w->edtPath, {"edtPath", "", {56, 28, 425, 0}}},
      {w->chkZIP, {"chkZIP", "压缩包", {492, 30, 65, 0}}},
      {w->cxGroupBox1, {"cxGroupBox1", "操作选项", {12, 92, 205, 381}}},
      {w->cxGroupBox2, {"cxGroupBox2", "联系信息", {228, 92, 360, 381}}},
      {w->Label1, {"Label1", "姓名：", {16, 32, 36, 17}}},
      {w->edtPerson, {"edtPerson", "", {72, 28, 121, 0}}},
      {w->Label2, {"Label2", "电话：", {16, 64, 36, 17}}},
      {w->edtTel, {"edtTel", "", {72, 60, 121, 0}}},
      {w->Label4, {"Label4", "QQ：", {16, 96, 32, 17}}},
      {w->edtQQ, {"edtQQ", "", {72, 92, 121, 0}}},
      {w->Label5, {"Label5", "邮编：", {16, 128, 36, 17}}},
      {w->edtPostcode, {"edtPostcode", "", {72, 124, 121, 0}}},
      {w->Label3, {"Label3", "地址：", {16, 160, 36, 17}}},
      {w->edtAddress, {"edtAddress", "", {72, 156, 276, 0}}},
      {w->Label7, {"Label7", "备注：", {16, 192, 36, 17}}},
      {w->edtMemo, {"edtMemo", "", {72, 188, 276, 161}}},
      {w->Label6, {"Label6", "Tavelo v1.0 / Program by dovan.ke", {14, 490, 210, 17}}},
      {w->Bevel1, {"Bevel1", "", {226, 491, 197, 10}}},
      {w->edtGenerate, {"edtGenerate", "执行", {431, 484, 75, 25}}},
      {w->edtClose, {"edtClose", "关闭", {515, 484, 75, 25}}},
  };
  for (const auto& [widget, p] : table) {
    SCOPED_TRACE(p.name);
    QRect g = widget->geometry();
    EXPECT_EQ(g.topLeft(), p.rect.topLeft());
    EXPECT_EQ(g.width(), p.rect.width());
    if (p.rect.height() > 0) {
      EXPECT_EQ(g.height(), p.rect.height());
    }
    if (*p.caption) {
      EXPECT_EQ(CaptionOf(widget), QString::fromUtf8(p.caption));
    }
  }
  const int tops[13] = {24, 48, 72, 96, 136, 160, 184, 208, 244, 268, 292, 316, 340};
  const char* captions[13] = {"GTO - Top Overlay", "GTP - Top Paste", "GTS - Top Solder",
                              "GTL - Top Layer", "GBO - Bottom Overlay", "GBP - Bottom Paste",
                              "GBS - Bottom Solder", "GBL - Bottom Layer", "GKO - KeepOut Layer",
                              "GM1 - Mechanical 1", "GPT - Top Pad Master",
                              "GPB - Bottom Pad Master", "TXT - NC Drill Data"};
  for (int i = 0; i < 13; ++i) {
    EXPECT_EQ(w->chkLayers[i]->parentWidget(), w->cxGroupBox1);
    EXPECT_EQ(w->chkLayers[i]->geometry().topLeft(), QPoint(16, tops[i]));
    EXPECT_EQ(w->chkLayers[i]->width(), 180);
    EXPECT_EQ(w->chkLayers[i]->text(), captions[i]);
    EXPECT_FALSE(w->chkLayers[i]->isChecked());
  }
  EXPECT_FALSE(w->Label6->isEnabled());
  EXPECT_FALSE(w->edtGenerate->isDefault() || w->edtGenerate->autoDefault());
  EXPECT_FALSE(w->edtClose->isDefault() || w->edtClose->autoDefault());
  EXPECT_EQ(w->edtPerson->parentWidget(), w->cxGroupBox2);
  EXPECT_EQ(w->edtPath->parentWidget(), w->cxGroupBox3);
  EXPECT_TRUE(w->edtPath->Path().isEmpty());
}

TEST_F(WindowTest, FocusStartsOnCloseAndTabFollowsTheDesignedOrder) {
  auto w = OpenWindow();
  w->activateWindow();
  QApplication::processEvents();
  EXPECT_EQ(w->focusWidget(), w->edtClose);
  std::vector<QWidget*> expected(w->chkLayers.begin(), w->chkLayers.end());
  for (QWidget* x : std::initializer_list<QWidget*>{w->edtClose, w->edtPerson, w->edtTel,
                                                    w->edtAddress, w->edtQQ, w->edtPostcode,
                                                    w->edtMemo, w->edtGenerate})
    expected.push_back(x);
  expected.push_back(w->edtPath->Edit());
  expected.push_back(w->chkZIP);
  // Real Tab presses, as a user moves through the window.
  w->chkGTO->setFocus();
  QApplication::processEvents();
  for (size_t i = 1; i < expected.size(); ++i) {
    QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
    QApplication::sendEvent(QApplication::focusWidget(), &tab);
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), expected[i]) << "step " << i;
  }
}

TEST_F(WindowTest, EnlargingFollowsTheAnchors) {
  auto w = OpenWindow();
  const QRect folder = w->cxGroupBox3->geometry();
  w->resize(601 + 100, 523 + 60);
  QApplication::processEvents();
  EXPECT_EQ(w->cxGroupBox3->geometry(), folder);                   // folder group keeps its size
  EXPECT_EQ(w->cxGroupBox1->geometry(), QRect(12, 92, 205, 441));  // lengthened downwards
  EXPECT_EQ(w->cxGroupBox2->geometry(), QRect(228, 92, 460, 441)); // widened and lengthened
  EXPECT_EQ(w->edtAddress->geometry().width(), 376);
  EXPECT_EQ(w->edtPerson->geometry().width(), 121);
  EXPECT_EQ(w->edtMemo->geometry(), QRect(72, 188, 376, 221));
  EXPECT_EQ(w->edtGenerate->geometry(), QRect(531, 544, 75, 25));  // bottom right
  EXPECT_EQ(w->edtClose->geometry(), QRect(615, 544, 75, 25));
  EXPECT_EQ(w->Label6->geometry(), QRect(14, 550, 210, 17));       // bottom left
  EXPECT_EQ(w->Bevel1->geometry(), QRect(226, 551, 297, 10));      // widened
  EXPECT_EQ(w->chkTXT->geometry().topLeft(), QPoint(16, 340));
}

TEST(Anchors, Table) {
  const QSize designed(100, 100), now(130, 120);
  const QRect r(10, 20, 30, 40);
  EXPECT_EQ(TAnchorKeeper::Anchored(r, designed, now, akLeft | akTop), r);
  EXPECT_EQ(TAnchorKeeper::Anchored(r, designed, now, akRight | akBottom), QRect(40, 40, 30, 40));
  EXPECT_EQ(TAnchorKeeper::Anchored(r, designed, now, akLeft | akTop | akRight | akBottom),
            QRect(10, 20, 60, 60));
  EXPECT_EQ(TAnchorKeeper::Anchored(r, designed, QSize(50, 50), akLeft | akRight | akTop),
            QRect(10, 20, 0, 40));  // never a negative width
}

TEST_F(WindowTest, SettingsFileIsTheExecutablesPathWithIni) {
  dir.MakeDir("my.tools");  // the program's folder exists, and may be written
  for (const char* exe : {"tavelo", "app.exe", "my.tools/app"}) {
    TfrmZOR w(dir / exe);
    EXPECT_EQ(w.SettingsFileName(), platform::ChangeFileExt(dir / exe, ".ini")) << exe;
  }
  TfrmZOR w(dir / "my.tools/app");
  EXPECT_EQ(w.SettingsFileName(), dir / "my.tools/app.ini");
}

TEST_F(WindowTest, EveryWayOfClosingSavesTheSettings) {
  {
    auto w = OpenWindow();
    w->edtCloseClick();  // the Close button
    EXPECT_FALSE(w->isVisible());
  }
  EXPECT_TRUE(platform::FileExists(dir / "tavelo.ini"));
  platform::DeleteFile(dir / "tavelo.ini");
  {
    auto w = OpenWindow();
    w->close();  // the title bar's close command
    EXPECT_TRUE(platform::FileExists(dir / "tavelo.ini"));
  }
  platform::DeleteFile(dir / "tavelo.ini");
  { auto w = OpenWindow(); }  // the application ends with the window open
  EXPECT_TRUE(platform::FileExists(dir / "tavelo.ini"));
  EXPECT_TRUE(errors.empty());
}

TEST_F(WindowTest, FolderBoxShowsTheChosenFolderAndItsTree) {
  auto w = OpenWindow();
  std::string sub = dir.MakeDir("board");
  w->edtPath->SetPath(QString::fromStdString(sub + "/"));
  EXPECT_EQ(w->edtPath->Path().toStdString(), sub);
  EXPECT_EQ(w->edtPath->Edit()->text().toStdString(), sub);
  w->edtPath->SetPath("/");
  EXPECT_EQ(w->edtPath->Path(), "/");
  w->edtPath->Edit()->setText(QString::fromStdString(sub));  // typed or pasted
  EXPECT_EQ(w->edtPath->Path().toStdString(), sub);
  w->edtPath->ShowDropDown();
  EXPECT_TRUE(w->edtPath->IsDroppedDown());
  w->edtPath->HideDropDown();
  EXPECT_FALSE(w->edtPath->IsDroppedDown());
}

TEST_F(WindowTest, ApplicationIconIsOne72By72ImageOf32Bits) {
  QImage icon = ApplicationIconImage();
  EXPECT_EQ(icon.size(), QSize(72, 72));
  EXPECT_EQ(icon.depth(), 32);
  EXPECT_TRUE(icon.hasAlphaChannel());
  EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0);     // the corner outside the board is clear
  EXPECT_EQ(qAlpha(icon.pixel(36, 36)), 255); // the board itself is opaque
}
