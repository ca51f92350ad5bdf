// The window's texts are few and short, so its template is laid out once in dialog units. A
// Cancel press only sets a flag: the question 5509 is asked by PumpMessages, from the engine's own
// call, so that its box never opens from inside the dispatch of another window's message.
#include "ui/win32/progress_window.h"

#include <algorithm>
#include <cwchar>
#include <iterator>
#include <string>

#include "platform/win32/win32_wide_text.h"
#include "ui/page_texts.h"
#include "ui/win32/dialog_template.h"
#include "ui/win32/wide_text.h"
#include "ui/win32/wizard_page.h"

namespace tarvium::ui::win32 {
namespace {

// In dialog units.
constexpr short kWidth = 260;
constexpr short kHeight = 91;
constexpr short kMargin = 7;
constexpr short kLineHeight = 8;
constexpr short kFirstRow = 24;
constexpr short kSecondRow = 36;
constexpr short kBarRow = 52;
constexpr short kBarHeight = 11;
constexpr short kPercentWidth = 33;
constexpr short kButtonWidth = 50;
constexpr short kButtonHeight = 14;
constexpr wchar_t kDialogClass[] = L"#32770";

// A line of the engine's status ("Copying: source", "to: destination"), shortened in the middle of
// its path when it is too long.
void AddStatusLine(DialogTemplate& window, int nId, short y) {
  window.Add({.predefined = ControlClass::Static,
              .nId = nId,
              .style = SS_LEFT | SS_NOPREFIX | SS_PATHELLIPSIS,
              .x = kMargin,
              .y = y,
              .cx = kWidth - 2 * kMargin,
              .cy = kLineHeight});
}

// Without Cancel the window ends below the meter; the hidden button lies beyond its foot.
DialogTemplate ProgressTemplate(const RunFrame& frame, bool bCancel) {
  const auto text = [&](PageText label) { return WideFromUtf8(TextOf(label, frame.lcidLanguage)); };
  const short nHeight = bCancel ? kHeight : kBarRow + kBarHeight + kMargin;
  DialogTemplate window(platform::win32::WideFromAnsi(frame.title), kWidth, nHeight,
                        DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU);
  window.Add({.predefined = ControlClass::Static,
              .text = text(PageText::ProgressHeading),
              .nId = kHeadingId,
              .style = SS_LEFT | SS_NOPREFIX,
              .x = kMargin,
              .y = kMargin,
              .cx = kWidth - 2 * kMargin,
              .cy = kLineHeight});
  AddStatusLine(window, kProgressSourceId, kFirstRow);
  AddStatusLine(window, kProgressDestinationId, kSecondRow);
  const short nBarWidth = kWidth - 2 * kMargin - kPercentWidth - 4;
  window.Add({.className = PROGRESS_CLASSW,
              .nId = kProgressBarId,
              .style = PBS_SMOOTH,
              .x = kMargin,
              .y = kBarRow,
              .cx = nBarWidth,
              .cy = kBarHeight});
  window.Add({.predefined = ControlClass::Static,
              .nId = kProgressPercentId,
              .style = SS_RIGHT | SS_NOPREFIX,
              .x = kWidth - kMargin - kPercentWidth,
              .y = kBarRow + (kBarHeight - kLineHeight) / 2,
              .cx = kPercentWidth,
              .cy = kLineHeight});
  window.Add({.predefined = ControlClass::Button,
              .text = text(PageText::Cancel),
              .nId = IDCANCEL,
              .style = WS_TABSTOP | BS_PUSHBUTTON,
              .x = kWidth - kMargin - kButtonWidth,
              .y = kHeight - kMargin - kButtonHeight,
              .cx = kButtonWidth,
              .cy = kButtonHeight});
  return window;
}

bool IsDialogWindow(HWND hWnd) {
  wchar_t className[std::size(kDialogClass) + 1] = {};
  return GetClassNameW(hWnd, className, static_cast<int>(std::size(className))) > 0 &&
         std::wcscmp(className, kDialogClass) == 0;
}

}  // namespace

void ProgressWindow::Open(const ProgressWindowRequest& request) {
  if (Handle()) return;
  DialogTemplate window = ProgressTemplate(session_.Frame(), request.bCancel);
  bCancel_ = request.bCancel;
  bCancelPressed_ = bCancelled_ = bQuit_ = false;
  nPercent_ = -1;
  if (!Create(session_.OpenMainWindow(), window)) return;
  session_.SetProgressWindow(Handle());
  ShowWindow(Handle(), SW_SHOW);
}

void ProgressWindow::Close() {
  Destroy();
  session_.SetProgressWindow(nullptr);
}

void ProgressWindow::OnInit() {
  SendMessageW(Item(kProgressBarId), PBM_SETRANGE32, 0, 100);
  if (bCancel_) return;
  ShowItem(IDCANCEL, false);
  EnableMenuItem(GetSystemMenu(Handle(), FALSE), SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
}

// The Cancel button, Escape and the close box.
void ProgressWindow::OnCommand(int nId, int nCode) {
  if (nId == IDCANCEL && nCode == BN_CLICKED && bCancel_ && !bCancelled_) bCancelPressed_ = true;
}

void ProgressWindow::ShowProgress(int nPercent) {
  if (!Handle()) return;
  const int nShown = std::clamp(nPercent, -1, 100);
  // The copy reports often; the window changes only with the number.
  if (nShown >= 0 && nShown == nPercent_) return;
  nPercent_ = nShown;
  SendMessageW(Item(kProgressBarId), PBM_SETPOS, static_cast<WPARAM>(std::max(nShown, 0)), 0);
  if (nShown >= 0) return SetItemText(kProgressPercentId, std::to_wstring(nShown) + L" %");
  for (int nId : {kProgressSourceId, kProgressDestinationId, kProgressPercentId})
    SetItemText(nId, L"");
}

void ProgressWindow::ShowStatus(const std::string& firstLine, const std::string& secondLine) {
  if (!Handle()) return;
  SetItemText(kProgressSourceId, platform::win32::WideFromAnsi(firstLine));
  SetItemText(kProgressDestinationId, platform::win32::WideFromAnsi(secondLine));
}

bool ProgressWindow::PumpMessages() {
  MSG message{};
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      bQuit_ = true;
      break;
    }
    Dispatch(message);
  }
  if (bCancelPressed_) {
    bCancelPressed_ = false;
    bCancelled_ = session_.ConfirmCancel();
    if (bCancelled_) EnableItem(IDCANCEL, false);
  }
  return !bCancelled_ && !bQuit_;
}

// Keys reach a dialog's controls through IsDialogMessageW (Tab, Enter, Escape, access keys): the
// progress window's and those of any other modeless dialog the run has open.
void ProgressWindow::Dispatch(MSG& message) {
  const HWND hRoot = message.hwnd ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
  if (hRoot && IsDialogWindow(hRoot) && IsDialogMessageW(hRoot, &message)) return;
  TranslateMessage(&message);
  DispatchMessageW(&message);
}

}  // namespace tarvium::ui::win32
