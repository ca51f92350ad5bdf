// The progress window of a drawing backend, as the interactive interface drives it: open from the
// start of the copy to its end, filled with the meter's percentage and the engine's two status
// lines, and asked between the steps of the copy whether the person cancelled (its Cancel asks
// message 5509, and only Yes counts).
#pragma once
#include <string>

#include "ui/user_interface.h"

namespace tarvium::ui {

class ProgressDisplay {
 public:
  virtual ~ProgressDisplay() = default;
  virtual void Open(const ProgressWindowRequest& request) = 0;
  virtual void Close() = 0;
  // The meter's percentage (0 to 100); -1 resets the meter and clears the text.
  virtual void ShowProgress(int nPercent) = 0;
  // The two lines that say what is being worked on (ANSI).
  virtual void ShowStatus(const std::string& firstLine, const std::string& secondLine) = 0;
  // Dispatches what the person did; false once Cancel was confirmed (or the run was told to quit).
  virtual bool PumpMessages() = 0;
};

}  // namespace tarvium::ui
