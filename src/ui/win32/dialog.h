// A dialog of the setup as a C++ object: the template is built in memory (dialog_template.h),
// the system runs the dialog, and the dialog procedure hands each message to the object's
// handlers. Modal pages and boxes run through RunModal; the progress window is modeless (Create).
// The dialog centres itself over its owner (the main window) or the screen when it opens.
#pragma once
#include <string>

#include "ui/win32/dialog_template.h"
#include "ui/win32/windows_ui_api.h"

namespace tarvium::ui::win32 {

class Dialog {
 public:
  Dialog() = default;
  virtual ~Dialog() = default;
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;

  // Runs the dialog until End() and returns its result; -1 when the system could not make it.
  INT_PTR RunModal(HWND hOwner, DialogTemplate& dialogTemplate);
  // Makes the dialog modeless; false when the system could not make it. The owner's message loop
  // dispatches its messages (IsDialogMessage).
  bool Create(HWND hOwner, DialogTemplate& dialogTemplate);
  void Destroy();

  HWND Handle() const { return hWnd_; }
  HWND Item(int nId) const { return GetDlgItem(hWnd_, nId); }
  std::wstring ItemText(int nId) const;
  void SetItemText(int nId, const std::wstring& text) const;
  void ShowItem(int nId, bool bShow) const;
  void EnableItem(int nId, bool bEnable) const;

 protected:
  // Ends a modal dialog with a result.
  void End(int nResult);
  virtual void OnInit() {}
  // A control's command (nCode: its notification, such as BN_CLICKED).
  virtual void OnCommand(int nId, int nCode) {
    (void)nId;
    (void)nCode;
  }
  // A control's notification; its result goes back to the control.
  virtual LRESULT OnNotify(const NMHDR& header) {
    (void)header;
    return 0;
  }
  virtual void OnTimer(UINT_PTR nTimer) { (void)nTimer; }
  virtual bool OnDrawItem(const DRAWITEMSTRUCT& item) {
    (void)item;
    return false;
  }
  // Any other message; true when it was handled.
  virtual bool OnMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
    (void)uMsg;
    (void)wParam;
    (void)lParam;
    return false;
  }
  // Centres the dialog as it opens; again after a dialog sized itself in OnInit.
  void CentreOverOwner() const;

 private:
  static INT_PTR CALLBACK Procedure(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
  INT_PTR Handle(UINT uMsg, WPARAM wParam, LPARAM lParam);

  HWND hWnd_ = nullptr;
};

}  // namespace tarvium::ui::win32
