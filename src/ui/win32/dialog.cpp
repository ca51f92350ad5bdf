#include "ui/win32/dialog.h"

#include <algorithm>

namespace tarvium::ui::win32 {

INT_PTR Dialog::RunModal(HWND hOwner, DialogTemplate& dialogTemplate) {
  return DialogBoxIndirectParamW(GetModuleHandleW(nullptr), dialogTemplate.Data(), hOwner,
                                 &Dialog::Procedure, reinterpret_cast<LPARAM>(this));
}

bool Dialog::Create(HWND hOwner, DialogTemplate& dialogTemplate) {
  return CreateDialogIndirectParamW(GetModuleHandleW(nullptr), dialogTemplate.Data(), hOwner,
                                    &Dialog::Procedure, reinterpret_cast<LPARAM>(this)) != nullptr;
}

void Dialog::Destroy() {
  if (hWnd_) DestroyWindow(hWnd_);
  hWnd_ = nullptr;
}

std::wstring Dialog::ItemText(int nId) const {
  const HWND hItem = Item(nId);
  const int nLength = hItem ? GetWindowTextLengthW(hItem) : 0;
  std::wstring text(static_cast<size_t>(nLength) + 1, L'\0');
  if (nLength > 0) GetWindowTextW(hItem, text.data(), nLength + 1);
  text.resize(static_cast<size_t>(nLength));
  return text;
}

void Dialog::SetItemText(int nId, const std::wstring& text) const {
  SetDlgItemTextW(hWnd_, nId, text.c_str());
}

void Dialog::ShowItem(int nId, bool bShow) const {
  if (const HWND hItem = Item(nId)) ShowWindow(hItem, bShow ? SW_SHOW : SW_HIDE);
}

void Dialog::EnableItem(int nId, bool bEnable) const {
  if (const HWND hItem = Item(nId)) EnableWindow(hItem, bEnable);
}

void Dialog::End(int nResult) {
  EndDialog(hWnd_, nResult);
}

INT_PTR CALLBACK Dialog::Procedure(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  if (uMsg == WM_INITDIALOG) {
    auto* pDialog = reinterpret_cast<Dialog*>(lParam);
    SetWindowLongPtrW(hWnd, DWLP_USER, lParam);
    pDialog->hWnd_ = hWnd;
    pDialog->CentreOverOwner();
    pDialog->OnInit();
    return TRUE;
  }
  auto* pDialog = reinterpret_cast<Dialog*>(GetWindowLongPtrW(hWnd, DWLP_USER));
  if (!pDialog) return FALSE;
  if (uMsg == WM_NCDESTROY) {
    pDialog->hWnd_ = nullptr;
    SetWindowLongPtrW(hWnd, DWLP_USER, 0);
    return FALSE;
  }
  return pDialog->Handle(uMsg, wParam, lParam);
}

INT_PTR Dialog::Handle(UINT uMsg, WPARAM wParam, LPARAM lParam) {
  switch (uMsg) {
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam));
      return TRUE;
    case WM_NOTIFY:
      SetWindowLongPtrW(hWnd_, DWLP_MSGRESULT, OnNotify(*reinterpret_cast<NMHDR*>(lParam)));
      return TRUE;
    case WM_TIMER:
      OnTimer(wParam);
      return TRUE;
    case WM_DRAWITEM:
      return OnDrawItem(*reinterpret_cast<DRAWITEMSTRUCT*>(lParam)) ? TRUE : FALSE;
    default:
      return OnMessage(uMsg, wParam, lParam) ? TRUE : FALSE;
  }
}

// Over the middle of the owner, kept on the owner's monitor; the screen's middle without one.
void Dialog::CentreOverOwner() const {
  RECT dialog{};
  GetWindowRect(hWnd_, &dialog);
  const HWND hOwner = GetWindow(hWnd_, GW_OWNER);
  RECT area{};
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromWindow(hOwner ? hOwner : hWnd_, MONITOR_DEFAULTTONEAREST), &monitor);
  if (!hOwner || !IsWindowVisible(hOwner) || !GetWindowRect(hOwner, &area)) area = monitor.rcWork;
  const LONG nWidth = dialog.right - dialog.left;
  const LONG nHeight = dialog.bottom - dialog.top;
  const RECT& work = monitor.rcWork;
  const LONG x = std::clamp((area.left + area.right - nWidth) / 2, work.left,
                            std::max(work.left, work.right - nWidth));
  const LONG y = std::clamp((area.top + area.bottom - nHeight) / 2, work.top,
                            std::max(work.top, work.bottom - nHeight));
  SetWindowPos(hWnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace tarvium::ui::win32
