#include "ui/interactive_ui.h"

namespace tarvium::ui {

int InteractiveUserInterface::MessageBox(const MessageBoxRequest& request) {
  return IsSilent() ? headless_.MessageBox(request) : DrawMessageBox(request);
}

bool InteractiveUserInterface::PumpMessages() {
  return IsSilent() || progress_.PumpMessages();
}

int InteractiveUserInterface::ShowPage(PageRequest& request) {
  return IsSilent() ? headless_.ShowPage(request) : DrawPage(request);
}

int InteractiveUserInterface::ShowOptions(OptionsPage& page) {
  return IsSilent() ? headless_.ShowOptions(page) : DrawOptions(page);
}

void InteractiveUserInterface::OpenProgressWindow(const ProgressWindowRequest& request) {
  if (IsSilent())
    headless_.OpenProgressWindow(request);
  else
    progress_.Open(request);
}

void InteractiveUserInterface::CloseProgressWindow() {
  headless_.CloseProgressWindow();
  progress_.Close();
}

void InteractiveUserInterface::ShowProgress(int nPercent) {
  if (IsSilent())
    headless_.ShowProgress(nPercent);
  else
    progress_.ShowProgress(nPercent);
}

void InteractiveUserInterface::ShowStatus(const std::string& firstLine,
                                          const std::string& secondLine) {
  if (IsSilent())
    headless_.ShowStatus(firstLine, secondLine);
  else
    progress_.ShowStatus(firstLine, secondLine);
}

}  // namespace tarvium::ui
