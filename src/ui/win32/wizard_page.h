// The frame every wizard page shares: a dialog over the main window with the run's title, the
// picture at the left (control 997, named "LOGO": the program's bitmap of that name, or the
// setup's background), the page's heading (1000), a body that the page fills from top to bottom,
// and the row of buttons at its foot: Help (9) at the left when a help file is known, Back (998),
// Next (1) and Cancel (2) at the right as the caller's flags ask. Run() keeps the page open until
// it ends: Next and Back after the page stored its values, Cancel (its button, Escape or the close
// box) only after message 5509 was answered Yes, a choice button with its own number. A page is
// built, run and dropped within one asking function:
//
//   WizardPage page(session, request, PageText::UserHeading, 6300);
//   page.AddEdit(kName, request.value);
//   return page.Run([&] { request.value = page.ItemRunText(kName); return true; });
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "ui/page_texts.h"
#include "ui/user_interface.h"
#include "ui/win32/dialog.h"
#include "ui/win32/dialog_session.h"

namespace tarvium::ui::win32 {

// The buttons of the foot row: Next can be hidden (choice pages) and Next and Cancel can carry
// other labels (Yes and No on the terms of use, OK on the disk page).
struct FootButtons {
  bool bNext = true;
  PageText next = PageText::Next;
  PageText cancel = PageText::Cancel;
};

inline constexpr int kHeadingId = 1000;
inline constexpr int kPictureId = 997;
inline constexpr int kHelpId = 9;

class WizardPage : public Dialog {
 public:
  // The body's width in dialog units.
  static constexpr short kBodyWidth = 226;

  WizardPage(DialogSession& session, const PageRequest& request, PageText heading, int nHelpTopic,
             FootButtons foot = {});
  ~WizardPage() override;

  DialogSession& Session() { return session_; }
  // The page's text in the run's language (UTF-8).
  const char* Text(PageText text) const { return TextOf(text, frame_.lcidLanguage); }
  std::wstring WideText(PageText text) const;
  // The next free row of the body, and the dialog units left above the foot row.
  short Row() const { return nRow_; }
  short RowsLeft() const;
  void SkipRows(short nUnits) { nRow_ = static_cast<short>(nRow_ + nUnits); }

  // Text over the body's width, nLines lines high, from the next free row on.
  void AddText(const std::wstring& text, int nLines = 1, int nId = -1);
  // An entry field holding the ANSI value, cx units wide (0: the body's width).
  void AddEdit(int nId, const std::string& ansiValue, DWORD style = 0, short cx = 0);
  // A button in the body: a choice ends the page with its id; any other goes to Run's onButton.
  // Placed x units into the body on the next free row, or beside the control added last.
  void AddButton(int nId, const std::wstring& label, short x, short cx, bool bSameRow = false);
  void AddChoice(int nId, const std::wstring& label);
  // Any other control, at the body's left on the next free row (x and cx relative to the body,
  // cx 0: the body's width); the row moves below it.
  void AddControl(DialogControl control, bool bSameRow = false);
  // The control that has the focus when the page opens (default: the first choice or Next).
  void Focus(int nId) { nFocus_ = nId; }
  // Called once the controls exist, to fill them (lists, trees), in the order given.
  void WhenOpen(std::function<void()> fill) { fills_.push_back(std::move(fill)); }
  // Calls tick every nMilliseconds while the page is open; a tick that returns non-zero ends the
  // page with that number.
  void SetTimer(int nMilliseconds, std::function<int()> tick);
  // The page's notifications of its controls (the options page's tree).
  void OnNotifications(std::function<LRESULT(const NMHDR&)> handler) {
    notify_ = std::move(handler);
  }

  // Ends the page with a result (a body button such as Skip).
  void EndWith(int nResult) { End(nResult); }
  // An item's text in ANSI, as the run takes entered values.
  std::string ItemRunText(int nId) const;

  // Runs the page and returns its result. store is called before Next and Back end it and may keep
  // it open by returning false; onButton receives the body buttons that are not choices (Browse).
  int Run(std::function<bool()> store = {}, std::function<void(int nId)> onButton = {});

 private:
  void OnInit() override;
  void OnCommand(int nId, int nCode) override;
  LRESULT OnNotify(const NMHDR& header) override;
  void OnTimer(UINT_PTR nTimer) override;
  bool OnDrawItem(const DRAWITEMSTRUCT& item) override;
  bool OnMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
  void AddFoot(const FootButtons& foot);
  void Cancel();
  bool IsChoice(int nId) const;

  DialogSession& session_;
  RunFrame frame_;
  DialogTemplate template_;
  int nHelpTopic_;
  bool bNext_;
  bool bBack_;
  bool bCancel_;
  short nRow_;
  short nLastRow_ = 0;  // the row of the control added last
  int nFocus_ = 0;
  std::vector<int> choices_;
  HFONT hHeadingFont_ = nullptr;
  int nTimerMs_ = 0;
  std::function<int()> tick_;
  std::vector<std::function<void()>> fills_;
  std::function<LRESULT(const NMHDR&)> notify_;
  std::function<bool()> store_;
  std::function<void(int)> onButton_;
};

}  // namespace tarvium::ui::win32
