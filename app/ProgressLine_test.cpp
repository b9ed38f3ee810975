// Focus: the progress bar in place of Bevel1 during a real pack: absent before the run,
// shown and climbing to 100 while the archive is written (seen from the window's event
// processing, as a repaint would see it), gone after the run and after a failed run.
#include <QApplication>
#include <QProgressBar>
#include <algorithm>
#include <set>

#include "app/ZOR_form.h"
#include "app/testing/WindowFixture.h"
#include "platform/Exception.h"
#include "platform/UiHooks.h"

namespace {

// Bytes that compress poorly, so that the archive takes many blocks to write.
std::string Noise(size_t size) {
  std::string bytes(size, '\0');
  uint32_t seed = 7;
  for (char& c : bytes) {
    seed = seed * 1103515245u + 12345u;
    c = static_cast<char>(seed >> 24);
  }
  return bytes;
}

QProgressBar* VisibleBar(TfrmZOR& w) {
  QProgressBar* bar = w.Bevel1->findChild<QProgressBar*>();
  return bar && bar->isVisible() ? bar : nullptr;
}

class ProgressLineTest : public WindowTest {
 protected:
  std::unique_ptr<TfrmZOR> BoardWindow(const std::string& person) {
    const std::string board = dir.MakeDir("board") + "/";
    dir.Write("board/b.GTL", Noise(900000));
    dir.Write("board/b.GBL", Noise(600000));
    auto w = OpenWindow();
    w->edtPath->SetPath(QString::fromStdString(board));
    w->edtPerson->setText(QString::fromStdString(person));
    w->chkGTL->setChecked(true);
    w->chkGBL->setChecked(true);
    w->chkZIP->setChecked(true);
    return w;
  }

  // Samples the bar each time the writer lets the window handle its events.
  void WatchTheBar(TfrmZOR& w) {
    platform::Hooks().processEvents = [this, &w] {
      QCoreApplication::processEvents();
      QProgressBar* bar = VisibleBar(w);
      seen.push_back(bar ? bar->value() : -1);
      if (bar) barRect = bar->geometry();
    };
  }

  std::vector<int> seen;  // the bar's value at each sample, -1 when no bar was shown
  QRect barRect;
};

TEST_F(ProgressLineTest, BarAppearsClimbsAndGoesBackToTheLine) {
  auto w = BoardWindow("pack");
  EXPECT_EQ(w->Bevel1->findChild<QProgressBar*>(), nullptr);  // the designed window
  WatchTheBar(*w);
  w->edtGenerateClick();
  ASSERT_TRUE(errors.empty()) << errors[0];
  ASSERT_GT(seen.size(), 10u);
  EXPECT_EQ(std::count(seen.begin(), seen.end(), -1), 0);  // shown for the whole write
  EXPECT_LT(seen.front(), 50);
  EXPECT_EQ(seen.back(), 100);
  EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
  EXPECT_GT(std::set<int>(seen.begin(), seen.end()).size(), 5u);  // it moves
  EXPECT_EQ(barRect, w->Bevel1->rect());  // exactly over the line
  EXPECT_EQ(w->Bevel1->findChild<QProgressBar*>(), nullptr);  // back to a line
  EXPECT_EQ(w->Bevel1->layout(), nullptr);
  ASSERT_EQ(messages.size(), 1u);
}

TEST_F(ProgressLineTest, RunEndedByAnErrorMidWayAlsoGoesBackToTheLine) {
  auto w = BoardWindow("pack");
  int samples = 0;
  bool barShown = false;
  platform::Hooks().processEvents = [&] {
    QCoreApplication::processEvents();
    barShown = barShown || VisibleBar(*w);
    if (++samples == 5) throw Exception("Stream write error");  // as a full disk would
  };
  w->edtGenerateClick();
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0], "Stream write error.");
  EXPECT_TRUE(barShown);
  EXPECT_EQ(w->Bevel1->findChild<QProgressBar*>(), nullptr);
  EXPECT_TRUE(messages.empty());
}

}  // namespace
