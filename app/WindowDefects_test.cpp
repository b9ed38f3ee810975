// Focus: the window as a keyboard and mouse user meets it: the folder drop-down opens and
// closes as a combo box does, Tab leaves the memo, long errors wrap, a close during a run
// waits for its end whichever way it is asked for, and the window never shrinks below the
// size at which its controls stand apart.
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <QTest>
#include <QToolButton>
#include <QTreeView>

#include "app/GuiHooks.h"
#include "app/testing/WindowFixture.h"
#include "platform/FileSystem.h"
#include "platform/UiHooks.h"

namespace {

void Key(QWidget* target, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QTest::keyClick(target, static_cast<Qt::Key>(key), modifiers);
  QApplication::processEvents();
}

}  // namespace

TEST_F(WindowTest, FolderDropDownOpensAndClosesLikeAComboBox) {
  auto w = OpenWindow();
  const std::string board = dir.MakeDir("board");
  w->edtPath->SetPath(QString::fromStdString(board));
  auto* arrow = w->edtPath->findChild<QToolButton*>("edtPathButton");
  ASSERT_NE(arrow, nullptr);
  QTreeView* tree = w->edtPath->DropDown();

  struct Way {
    const char* name;
    std::function<void()> open, close;
  };
  const std::vector<Way> ways = {
      {"F4, Escape", [&] { Key(w->edtPath->Edit(), Qt::Key_F4); },
       [&] { Key(tree, Qt::Key_Escape); }},
      {"Alt+Down, Alt+Up", [&] { Key(w->edtPath->Edit(), Qt::Key_Down, Qt::AltModifier); },
       [&] { Key(tree, Qt::Key_Up, Qt::AltModifier); }},
      {"arrow, arrow again", [&] { QTest::mouseClick(arrow, Qt::LeftButton); },
       [&] { QTest::mouseClick(arrow, Qt::LeftButton); }},
      {"arrow, click outside", [&] { QTest::mouseClick(arrow, Qt::LeftButton); },
       // the left end of a layer box, beside the drop-down
       [&] { QTest::mouseClick(w->chkGTO, Qt::LeftButton, {}, QPoint(6, 6)); }},
  };
  for (const Way& way : ways) {
    way.open();
    QApplication::processEvents();
    EXPECT_TRUE(w->edtPath->IsDroppedDown()) << way.name;
    // Moving through the tree does not choose: only a click or Enter does.
    Key(tree, Qt::Key_Down);
    way.close();
    QApplication::processEvents();
    EXPECT_FALSE(w->edtPath->IsDroppedDown()) << way.name;
    EXPECT_EQ(w->edtPath->Path().toStdString(), board) << way.name;
    EXPECT_FALSE(w->chkGTO->isChecked()) << way.name << ": the closing press reached the box";
  }

  // Enter chooses the folder under the cursor and closes the drop-down.
  Key(w->edtPath->Edit(), Qt::Key_F4);
  const QModelIndex parent = tree->currentIndex().parent();
  ASSERT_TRUE(parent.isValid());
  tree->setCurrentIndex(parent);
  Key(tree, Qt::Key_Return);
  EXPECT_FALSE(w->edtPath->IsDroppedDown());
  EXPECT_EQ(w->edtPath->Path().toStdString() + "/", dir.Path());
}

TEST_F(WindowTest, TabAndShiftTabLeaveTheMemoWithoutATabCharacter) {
  auto w = OpenWindow();
  w->activateWindow();
  w->edtMemo->setFocus();
  QApplication::processEvents();
  Key(w->edtMemo, Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), w->edtGenerate);
  w->edtMemo->setFocus();
  QApplication::processEvents();
  Key(w->edtMemo, Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_EQ(QApplication::focusWidget(), w->edtPostcode);
  EXPECT_TRUE(w->edtMemo->toPlainText().isEmpty());
}

TEST_F(WindowTest, LongErrorWrapsInsideTheBox) {
  OpenWindow();
  const QString path = "/" + QString("very_long_folder_name_without_any_blank").repeated(8) +
                       "/Contect.txt";
  const QString message = "Cannot create file \"" + path + "\". No such file or directory";
  std::unique_ptr<QMessageBox> box(MakeErrorBox("tavelo", message));
  box->show();
  QApplication::processEvents();
  auto* label = box->findChild<QLabel*>("qt_msgbox_label");
  ASSERT_NE(label, nullptr);
  EXPECT_LE(box->frameGeometry().width(), box->screen()->availableGeometry().width());
  // Every character is inside the label, and the label inside the box.
  EXPECT_LE(label->minimumSizeHint().width(), label->width());
  EXPECT_LE(label->heightForWidth(label->width()), label->height());
  EXPECT_LE(label->geometry().right(), box->width());
  QString shown = label->text();
  shown.remove(QChar(0x200B));
  EXPECT_EQ(shown, message);
}

TEST_F(WindowTest, CloseButtonDuringARunClosesWhenTheRunEnds) {
  const std::string board = dir.MakeDir("board") + "/";
  dir.Write("board/PCB1.GTL", std::string(600000, 'x'));
  auto w = OpenWindow();
  w->edtPath->SetPath(QString::fromStdString(board));
  w->chkGTL->setChecked(true);
  w->chkZIP->setChecked(true);
  int pumped = 0;
  platform::Hooks().processEvents = [&] {
    if (pumped++ == 0) {
      QTest::mouseClick(w->edtClose, Qt::LeftButton);  // "关闭" while the archive is written
      EXPECT_TRUE(w->isVisible());
    }
    QCoreApplication::processEvents();
  };
  w->edtGenerateClick();
  EXPECT_GT(pumped, 0);
  EXPECT_EQ(messages.size(), 1u);  // the run finished and reported
  QApplication::processEvents();
  EXPECT_FALSE(w->isVisible());
  EXPECT_TRUE(platform::FileExists(dir / "tavelo.ini"));  // closed the designed way: saved
}

TEST_F(WindowTest, ShrinkingStopsAtTheDesignedSize) {
  auto w = OpenWindow();
  w->resize(300, 200);
  QApplication::processEvents();
  EXPECT_EQ(w->size(), QSize(601, 523));
  EXPECT_EQ(w->edtGenerate->geometry(), QRect(431, 484, 75, 25));
  EXPECT_EQ(w->cxGroupBox2->geometry(), QRect(228, 92, 360, 381));
}
