// The progress of a silent run with progress (/S1, /S2) for a person at a terminal: one line on
// standard error, the percentage and the file being copied, redrawn in place with a carriage
// return so that the copy does not scroll the terminal. When standard error is not a terminal
// (a log file, an agent's pipe) nothing is written: the reader there wants the messages, not a
// meter. The text of the line is a pure function, so that its shortening can be tested.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

#include "platform/console.h"

namespace tarvium::ui {

// The width the line keeps below: one column less than a standard terminal, so the cursor never
// wraps to the next line.
inline constexpr size_t kProgressLineWidth = 79;

// " 42% Copying: C:\...\Files\App.exe": the percentage right-aligned in four columns (blanks while
// it is not known, nPercent < 0), then the status text. A status text too long for nWidth loses
// its middle, where "..." stands, so that its start (what is done) and its end (the file name)
// stay readable.
std::string FormatProgressLine(int nPercent, std::string_view status, size_t nWidth);

class ProgressLine {
 public:
  explicit ProgressLine(platform::Console& console) : console_(console) {}

  // Starts drawing (only when standard error is a terminal) or stops it, ending a drawn line.
  void Open();
  void Close();
  // The percentage (-1: not known, the meter was reset) and the status text; each redraws. A
  // status given while the line is not open is not kept (opening starts without one).
  void SetPercent(int nPercent);
  void SetStatus(std::string_view status);
  // Ends a drawn line so that other output starts on a line of its own; the next change draws the
  // line anew below it.
  void Interrupt();

 private:
  void Draw();

  platform::Console& console_;
  bool bOpen_ = false;
  int nPercent_ = -1;
  std::string status_;
  size_t nDrawn_ = 0;  // columns of the line on the terminal; 0: no line is drawn
};

}  // namespace tarvium::ui
