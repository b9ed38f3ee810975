// TProgressLine: while an archive is written, the line between the about label and the
// buttons (Bevel1) becomes a progress bar of the whole run; when the object goes, at the
// end of the run however it ends, the line is back as designed.
#pragma once

#include <QProgressBar>

#include "app/Bevel.h"

class TProgressLine {
 public:
  explicit TProgressLine(TBevel* line) : line_(line) {}
  ~TProgressLine();
  TProgressLine(const TProgressLine&) = delete;
  TProgressLine& operator=(const TProgressLine&) = delete;

  // Shows percent (0 to 100) of the run; the first call puts the bar over the line. The
  // bar repaints when the writer next lets the window handle its events.
  void Show(int percent);

 private:
  TBevel* line_;
  QProgressBar* bar_ = nullptr;  // a child of line_, filling it, while the run shows
};
