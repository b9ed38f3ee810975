#include "cli/ProgressLine.h"

#include <unistd.h>

#include <cstdio>

TCliProgressLine::~TCliProgressLine() {
  if (shown_ >= 0) err_ << "\n" << std::flush;
}

void TCliProgressLine::Show(int percent) {
  if (percent == shown_) return;
  shown_ = percent;
  char line[32];
  std::snprintf(line, sizeof line, "\rpacking %3d%%", percent);
  err_ << line << std::flush;
}

bool StandardErrorIsTerminal() { return isatty(STDERR_FILENO) == 1; }
