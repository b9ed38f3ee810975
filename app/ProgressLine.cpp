#include "app/ProgressLine.h"

#include <QHBoxLayout>

namespace {

// A thin bar in the window's glossy light blue, as tall as the line's box.
const char kBarStyle[] = R"(
QProgressBar {
  border: 1px solid #86b2de;
  border-radius: 3px;
  background: #f4f9ff;
}
QProgressBar::chunk {
  border-radius: 2px;
  background: qlineargradient(x1:0, y1:0, x2:0, y2:1,
      stop:0 #cfe6ff, stop:0.48 #7fb6ec, stop:0.52 #4e93da, stop:1 #6aa8e6);
}
)";

}  // namespace

TProgressLine::~TProgressLine() {
  if (!bar_) return;
  delete line_->layout();
  delete bar_;
}

void TProgressLine::Show(int percent) {
  if (!bar_) {
    bar_ = new QProgressBar(line_);
    bar_->setObjectName("Bevel1Progress");
    bar_->setRange(0, 100);
    bar_->setTextVisible(false);
    bar_->setStyleSheet(kBarStyle);
    // A layout keeps the bar over the whole line when the window is resized meanwhile.
    auto* layout = new QHBoxLayout(line_);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(bar_);
    bar_->show();
  }
  bar_->setValue(percent);
}
