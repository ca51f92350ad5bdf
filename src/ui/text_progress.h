// The progress window of the text mode: the file being copied ("Copying:" and "to:") with a meter
// and its percentage, drawn while the installation runs.
#pragma once
#include <string>

#include "ui/text_session.h"

namespace tarvium::ui {

class TextProgress {
 public:
  explicit TextProgress(TextSession& session) : session_(session) {}
  // The meter's percentage (0 to 100); -1 resets the meter and clears the text.
  void ShowProgress(int nPercent);
  // The two lines that say what is being worked on (ANSI).
  void ShowStatus(const std::string& firstLine, const std::string& secondLine);

 private:
  TextSession& session_;
};

}  // namespace tarvium::ui
