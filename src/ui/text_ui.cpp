#include "ui/text_ui.h"

#include "ui/text_pages.h"

namespace tarvium::ui {

// The session and the progress window are made before the base uses them: the base only keeps
// the references until a call.
TextUserInterface::TextUserInterface(platform::Console& console, platform::FileSystem& files,
                                     platform::Clock* clock)
    : InteractiveUserInterface(console, clock, session_, progress_),
      session_(files),
      progress_(session_, clock) {}

int TextUserInterface::DrawMessageBox(const MessageBoxRequest& request) {
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

int TextUserInterface::DrawPage(PageRequest& request) {
  const TextPageFunction show = TextPageOf(request.kind);
  return show ? show(session_, request) : request.nDefaultChoice;
}

int TextUserInterface::DrawOptions(OptionsPage& page) {
  return ShowTextOptionsPage(session_, page);
}

}  // namespace tarvium::ui
