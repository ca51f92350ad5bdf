#include "ui/win32/dialog_ui.h"

#include "ui/win32/dialog_pages.h"
#include "ui/win32/message_box_dialog.h"

namespace tarvium::ui::win32 {

// The session and the progress window are made before the base uses them: the base only keeps
// the references until a call.
DialogUserInterface::DialogUserInterface(platform::Console& console, platform::FileSystem& files,
                                         platform::Clock* clock)
    : InteractiveUserInterface(console, clock, session_, progress_),
      session_(files),
      progress_(session_) {
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof controls;
  controls.dwICC = ICC_TREEVIEW_CLASSES | ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES;
  InitCommonControlsEx(&controls);
}

int DialogUserInterface::DrawMessageBox(const MessageBoxRequest& request) {
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

int DialogUserInterface::DrawPage(PageRequest& request) {
  const DialogPageFunction show = DialogPageOf(request.kind);
  return show ? show(session_, request) : request.nDefaultChoice;
}

int DialogUserInterface::DrawOptions(OptionsPage& page) {
  return ShowOptionsDialog(session_, page);
}

}  // namespace tarvium::ui::win32
