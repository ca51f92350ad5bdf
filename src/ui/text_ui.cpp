#include "ui/text_ui.h"

#include "ui/text_pages.h"

namespace tarvium::ui {

TextUserInterface::TextUserInterface(platform::Console& console, platform::FileSystem& files,
                                     platform::Clock* clock)
    : headless_(console, clock), session_(files), progress_(session_, clock) {}

int TextUserInterface::MessageBox(const MessageBoxRequest& request) {
  if (IsSilent()) return headless_.MessageBox(request);
  return ShowTextMessageBox(session_, request);
}

void TextUserInterface::SetWaitCursor(bool bOn) {
  if (bOn)
    session_.Suspend();
  else
    session_.Resume();
}

void TextUserInterface::EnableMainWindows(bool bEnable) {
  SetWaitCursor(!bEnable);
}

int TextUserInterface::ShowPage(PageRequest& request) {
  const TextPageFunction show = TextPageOf(request.kind);
  if (IsSilent() || !show) return headless_.ShowPage(request);
  return show(session_, request);
}

bool TextUserInterface::PumpMessages() {
  return IsSilent() || progress_.PumpMessages();
}

// A silent run with progress draws the headless progress line instead of the window.
void TextUserInterface::OpenProgressWindow(const ProgressWindowRequest& request) {
  if (IsSilent())
    headless_.OpenProgressWindow(request);
  else
    progress_.Open(request);
}

void TextUserInterface::CloseProgressWindow() {
  headless_.CloseProgressWindow();
  progress_.Close();
}

int TextUserInterface::ShowOptions(OptionsPage& page) {
  if (IsSilent()) return headless_.ShowOptions(page);
  return ShowTextOptionsPage(session_, page);
}

void TextUserInterface::ShowProgress(int nPercent) {
  if (IsSilent())
    headless_.ShowProgress(nPercent);
  else
    progress_.ShowProgress(nPercent);
}

void TextUserInterface::ShowStatus(const std::string& firstLine, const std::string& secondLine) {
  if (IsSilent())
    headless_.ShowStatus(firstLine, secondLine);
  else
    progress_.ShowStatus(firstLine, secondLine);
}

void TextUserInterface::ConnectRun(RunLink link) {
  session_.Connect(std::move(link));
}

}  // namespace tarvium::ui
