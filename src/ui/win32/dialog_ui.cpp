#include "ui/win32/dialog_ui.h"

#include "ui/win32/dialog_pages.h"
#include "ui/win32/message_box_dialog.h"

namespace tarvium::ui::win32 {

DialogUserInterface::DialogUserInterface(platform::Console& console, platform::FileSystem& files,
                                         platform::Clock* clock)
    : headless_(console, clock), session_(files), progress_(session_) {
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof controls;
  controls.dwICC = ICC_TREEVIEW_CLASSES | ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES;
  InitCommonControlsEx(&controls);
}

int DialogUserInterface::MessageBox(const MessageBoxRequest& request) {
  if (IsSilent()) return headless_.MessageBox(request);
  return ShowMessageBoxDialog(session_, request);
}

void DialogUserInterface::SetWaitCursor(bool bOn) {
  if (bOn) {
    hSavedCursor_ = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
  } else {
    SetCursor(hSavedCursor_ ? hSavedCursor_ : LoadCursorW(nullptr, IDC_ARROW));
    hSavedCursor_ = nullptr;
  }
}

void DialogUserInterface::EnableMainWindows(bool bEnable) {
  session_.EnableWindows(bEnable);
  SetWaitCursor(!bEnable);
}

bool DialogUserInterface::PumpMessages() {
  return IsSilent() || progress_.PumpMessages();
}

int DialogUserInterface::ShowPage(PageRequest& request) {
  const DialogPageFunction show = DialogPageOf(request.kind);
  if (IsSilent() || !show) return headless_.ShowPage(request);
  return show(session_, request);
}

int DialogUserInterface::ShowOptions(OptionsPage& page) {
  if (IsSilent()) return headless_.ShowOptions(page);
  return ShowOptionsDialog(session_, page);
}

// A silent run with progress draws the headless progress line instead of the window.
void DialogUserInterface::OpenProgressWindow(const ProgressWindowRequest& request) {
  if (IsSilent())
    headless_.OpenProgressWindow(request);
  else
    progress_.Open(request);
}

void DialogUserInterface::CloseProgressWindow() {
  headless_.CloseProgressWindow();
  progress_.Close();
}

void DialogUserInterface::ShowProgress(int nPercent) {
  if (IsSilent())
    headless_.ShowProgress(nPercent);
  else
    progress_.ShowProgress(nPercent);
}

void DialogUserInterface::ShowStatus(const std::string& firstLine, const std::string& secondLine) {
  if (IsSilent())
    headless_.ShowStatus(firstLine, secondLine);
  else
    progress_.ShowStatus(firstLine, secondLine);
}

}  // namespace tarvium::ui::win32
