// The progress window is not drawn yet in text mode: its updates are dropped.
#include "ui/text_progress.h"

namespace tarvium::ui {

void TextProgress::ShowProgress(int) {}

void TextProgress::ShowStatus(const std::string&, const std::string&) {}

}  // namespace tarvium::ui
