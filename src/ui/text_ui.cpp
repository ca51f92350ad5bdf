#include "ui/text_ui.h"

#include "ui/text_pages.h"

namespace tarvium::ui {

TextUserInterface::TextUserInterface(platform::Console& console, platform::FileSystem& files)
    : headless_(console), session_(files), progress_(session_) {}

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

int TextUserInterface::ShowOptions(OptionsPage& page) {
  if (IsSilent()) return headless_.ShowOptions(page);
  return ShowTextOptionsPage(session_, page);
}

void TextUserInterface::ShowProgress(int nPercent) {
  if (!IsSilent()) progress_.ShowProgress(nPercent);
}

void TextUserInterface::ShowStatus(const std::string& firstLine, const std::string& secondLine) {
  if (!IsSilent()) progress_.ShowStatus(firstLine, secondLine);
}

void TextUserInterface::ConnectRun(RunLink link) {
  session_.Connect(std::move(link));
}

}  // namespace tarvium::ui
