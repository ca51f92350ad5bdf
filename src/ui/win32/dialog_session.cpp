#include "ui/win32/dialog_session.h"

namespace tarvium::ui::win32 {

HWND DialogSession::Owner() const {
  if (!open_.empty()) return open_.back();
  return hProgress_ ? hProgress_ : mainWindow_.Handle();
}

void DialogSession::EnableWindows(bool bEnable) const {
  for (HWND hWnd : {mainWindow_.Handle(), hProgress_})
    if (hWnd) EnableWindow(hWnd, bEnable);
}

}  // namespace tarvium::ui::win32
