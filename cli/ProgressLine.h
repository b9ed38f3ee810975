// The progress line of tavelo-cli: while an archive is written, "packing  37%" on standard
// error, rewritten in place on a terminal; the finished line ends with a line break. Only
// for a terminal: piped or redirected output, and --json, get no progress at all.
#pragma once

#include <ostream>

class TCliProgressLine {
 public:
  explicit TCliProgressLine(std::ostream& err) : err_(err) {}
  // Ends the line when anything was shown.
  ~TCliProgressLine();
  TCliProgressLine(const TCliProgressLine&) = delete;
  TCliProgressLine& operator=(const TCliProgressLine&) = delete;

  // Rewrites the line when the percentage changed.
  void Show(int percent);

 private:
  std::ostream& err_;
  int shown_ = -1;
};

// Standard error is a terminal, so a line rewritten in place reads as progress.
bool StandardErrorIsTerminal();
