// The box is laid out when its dialog exists rather than in its template: the text is measured in
// the font the system really gave the dialog (DrawTextW as the static control draws it), so the
// box fits its text on any monitor and DPI. The template only names the controls; OnInit sizes
// them, sizes the box around them and centres it again.
#include "ui/win32/message_box_dialog.h"

#include <algorithm>
#include <numeric>
#include <string>
#include <vector>

#include "platform/win32/win32_wide_text.h"
#include "ui/box_keys.h"
#include "ui/win32/dialog.h"
#include "ui/win32/dialog_template.h"

namespace tarvium::ui::win32 {
namespace {

// In dialog units.
constexpr int kMargin = 10;
constexpr int kIconGap = 10;        // between the icon and the text
constexpr int kMaxTextWidth = 260;  // a longer line wraps
constexpr int kButtonWidth = 50;    // at least; a long label widens its button
constexpr int kButtonPadding = 6;   // each side of a label
constexpr int kButtonHeight = 14;
constexpr int kButtonGap = 8;
constexpr int kButtonRowLeft = 22;  // where the button row starts unless it is centred
constexpr UINT_PTR kTimeoutTimer = 1;
// How a static control with SS_LEFT | SS_NOPREFIX draws its text.
constexpr UINT kTextFormat = DT_LEFT | DT_EXPANDTABS | DT_WORDBREAK | DT_NOPREFIX;

struct IconLook {
  LPCWSTR pszIcon;
  UINT uSound;
};

IconLook LookOf(IconKind icon) {
  switch (icon) {
    case IconKind::Stop:
      return {IDI_HAND, MB_ICONHAND};
    case IconKind::Exclamation:
      return {IDI_EXCLAMATION, MB_ICONEXCLAMATION};
    case IconKind::Question:
      return {IDI_QUESTION, MB_ICONQUESTION};
    case IconKind::Information:
      break;
  }
  return {IDI_ASTERISK, MB_ICONASTERISK};
}

DWORD ButtonStyle(bool bDefault) {
  return WS_TABSTOP | static_cast<DWORD>(bDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
}

int DefaultResult(const MessageBoxRequest& request) {
  if (request.buttons.empty()) return IDCANCEL;
  return request.buttons[std::min(request.nDefault, request.buttons.size() - 1)].nResult;
}

// The text's size in pixels when it wraps at nMaxWidth (0: on one line); the full width and no
// height when it cannot be measured.
SIZE TextSize(HDC hDC, const std::wstring& text, int nMaxWidth, UINT uFormat) {
  if (text.empty()) return {0, 0};
  RECT rect{0, 0, nMaxWidth, 0};
  if (!DrawTextW(hDC, text.c_str(), static_cast<int>(text.size()), &rect, uFormat | DT_CALCRECT))
    return {nMaxWidth, 0};
  return {rect.right, rect.bottom};
}

RECT WorkAreaOf(HWND hWnd) {
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  if (!GetMonitorInfoW(MonitorFromWindow(hWnd, MONITOR_DEFAULTTONEAREST), &monitor))
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &monitor.rcWork, 0);
  return monitor.rcWork;
}

// What the box holds, in pixels, measured in the dialog's font.
struct Contents {
  SIZE text{};
  int nLine = 1;  // the height of one line of text
  int nCaption = 0;
  std::vector<int> buttonWidths;
};

// The box's spacing in pixels.
struct Spacing {
  POINT margin;
  int nIconGap;
  int nButtonGap;
  int nButtonHeight;
  SIZE icon;
  SIZE frame;  // what the caption and borders add to the client area
};

int RowWidth(const Contents& contents, const Spacing& spacing) {
  const int nButtons = static_cast<int>(contents.buttonWidths.size());
  return std::accumulate(contents.buttonWidths.begin(), contents.buttonWidths.end(), 0) +
         spacing.nButtonGap * std::max(0, nButtons - 1);
}

class MessageBoxDialog : public Dialog {
 public:
  MessageBoxDialog(DialogSession& session, const MessageBoxRequest& request)
      : session_(session), request_(request), text_(platform::win32::WideFromAnsi(request.text)) {}

  int Run();

 private:
  void OnInit() override;
  void OnCommand(int nId, int nCode) override;
  void OnTimer(UINT_PTR nTimer) override;
  bool OnMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
  bool HasButton(int nResult) const;
  POINT Pixels(int x, int y) const;
  Spacing SpacingOf() const;
  Contents Measure(const RECT& work) const;
  void Arrange();
  void Place(const Contents& contents, const Spacing& spacing, int nClientWidth) const;
  void MoveItem(int nId, int x, int y, int cx, int cy) const;
  void EndByTime();

  DialogSession& session_;
  const MessageBoxRequest& request_;
  std::wstring text_;
};

int MessageBoxDialog::Run() {
  const DWORD style = DS_MODALFRAME | DS_SETFOREGROUND | WS_POPUP | WS_CAPTION | WS_SYSMENU |
                      (request_.bSystemModal ? DS_SYSMODAL : 0);
  // OnInit gives the box and its controls their sizes.
  DialogTemplate box(platform::win32::WideFromAnsi(request_.caption), kMaxTextWidth, kMargin * 6,
                     style);
  box.Add({.predefined = ControlClass::Static, .nId = kBoxIconId, .style = SS_ICON});
  box.Add({.predefined = ControlClass::Static,
           .text = text_,
           .nId = kBoxTextId,
           .style = SS_LEFT | SS_NOPREFIX});
  const int nDefault = DefaultResult(request_);
  for (const MessageButton& button : request_.buttons)
    box.Add({.predefined = ControlClass::Button,
             .text = platform::win32::WideFromAnsi(button.label),
             .nId = button.nResult,
             .style = ButtonStyle(button.nResult == nDefault)});
  const INT_PTR nResult = RunModal(session_.Owner(), box);
  return nResult < 0 ? nDefault : static_cast<int>(nResult);
}

void MessageBoxDialog::OnInit() {
  session_.DialogOpened(Handle());
  const IconLook look = LookOf(request_.icon);
  SendMessageW(Item(kBoxIconId), STM_SETICON,
               reinterpret_cast<WPARAM>(LoadIconW(nullptr, look.pszIcon)), 0);
  Arrange();
  CentreOverOwner();
  if (!HasButton(IDCANCEL))
    EnableMenuItem(GetSystemMenu(Handle(), FALSE), SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
  if (const HWND hDefault = Item(DefaultResult(request_))) {
    SendMessageW(Handle(), DM_SETDEFID, static_cast<WPARAM>(DefaultResult(request_)), 0);
    // The dialog manager focuses the first button once this returns; the default takes it after.
    PostMessageW(Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(hDefault), TRUE);
  }
  if (request_.bBeep) MessageBeep(look.uSound);
  // A box that cannot count down ends as if its time had run out: a run that set a time-out
  // expects no person to answer.
  if (request_.nTimeoutMs > 0 && !SetTimer(Handle(), kTimeoutTimer, request_.nTimeoutMs, nullptr))
    EndByTime();
}

// Every button, Enter (the default), Escape and the close box (IDCANCEL) arrive here; a command of
// no button of the box (Escape without a button that answers 2) changes nothing.
void MessageBoxDialog::OnCommand(int nId, int nCode) {
  if (nCode != BN_CLICKED || !HasButton(nId)) return;
  if (nId == kHelpButton) return session_.ShowHelp(request_.nMessage);
  End(nId);
}

void MessageBoxDialog::OnTimer(UINT_PTR nTimer) {
  if (nTimer == kTimeoutTimer) EndByTime();
}

void MessageBoxDialog::EndByTime() {
  KillTimer(Handle(), kTimeoutTimer);
  request_.bTimedOut = true;
  End(DefaultResult(request_));
}

// F1 is Help when the box shows Help; at its end the box leaves the session's open dialogs.
bool MessageBoxDialog::OnMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
  (void)wParam;
  (void)lParam;
  if (uMsg == WM_DESTROY) session_.DialogClosed(Handle());
  if (uMsg != WM_HELP) return false;
  if (HasButton(kHelpButton)) session_.ShowHelp(request_.nMessage);
  return true;
}

bool MessageBoxDialog::HasButton(int nResult) const {
  return std::any_of(request_.buttons.begin(), request_.buttons.end(),
                     [nResult](const MessageButton& button) { return button.nResult == nResult; });
}

POINT MessageBoxDialog::Pixels(int x, int y) const {
  RECT rect{0, 0, x, y};
  MapDialogRect(Handle(), &rect);
  return {rect.right, rect.bottom};
}

Spacing MessageBoxDialog::SpacingOf() const {
  const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(Handle(), GWL_STYLE));
  const DWORD exStyle = static_cast<DWORD>(GetWindowLongPtrW(Handle(), GWL_EXSTYLE));
  RECT frame{0, 0, 0, 0};
  AdjustWindowRectEx(&frame, style, FALSE, exStyle);
  return {.margin = Pixels(kMargin, kMargin),
          .nIconGap = Pixels(kIconGap, 0).x,
          .nButtonGap = Pixels(kButtonGap, 0).x,
          .nButtonHeight = Pixels(0, kButtonHeight).y,
          .icon = {GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON)},
          .frame = {frame.right - frame.left, frame.bottom - frame.top}};
}

Contents MessageBoxDialog::Measure(const RECT& work) const {
  Contents contents;
  const HDC hDC = GetDC(Handle());
  const HGDIOBJ hOld =
      SelectObject(hDC, reinterpret_cast<HFONT>(SendMessageW(Handle(), WM_GETFONT, 0, 0)));
  contents.text = TextSize(hDC, text_, Pixels(kMaxTextWidth, 0).x, kTextFormat);
  contents.nLine = std::max<int>(1, TextSize(hDC, L"X", 0, DT_SINGLELINE).cy);
  // A long text makes a wider box rather than a tower.
  if (contents.text.cy > (work.bottom - work.top) / 2)
    contents.text = TextSize(hDC, text_, (work.right - work.left) * 3 / 4, kTextFormat);
  // The caption's font is near the dialog's; the title bar's buttons take the rest.
  contents.nCaption =
      TextSize(hDC, platform::win32::WideFromAnsi(request_.caption), 0, DT_SINGLELINE).cx +
      3 * GetSystemMetrics(SM_CXSIZE);
  const int nMinWidth = Pixels(kButtonWidth, 0).x;
  const int nPadding = Pixels(kButtonPadding, 0).x;
  for (const MessageButton& button : request_.buttons) {
    const std::wstring label = platform::win32::WideFromAnsi(button.label);
    contents.buttonWidths.push_back(
        std::max<int>(nMinWidth, TextSize(hDC, label, 0, DT_SINGLELINE).cx + 2 * nPadding));
  }
  SelectObject(hDC, hOld);
  ReleaseDC(Handle(), hDC);
  return contents;
}

// The box as wide as the widest of its text beside the icon, its button row and its caption, and
// never larger than the monitor's work area (a text too long for it is cut after its last whole
// line that fits).
void MessageBoxDialog::Arrange() {
  const RECT work = WorkAreaOf(Handle());
  Contents contents = Measure(work);
  const Spacing spacing = SpacingOf();
  const int nFoot = contents.buttonWidths.empty() ? 0 : spacing.nButtonHeight + spacing.margin.y;
  const int nMaxText = (work.bottom - work.top) - spacing.frame.cy - 2 * spacing.margin.y - nFoot;
  if (contents.text.cy > nMaxText)
    contents.text.cy = std::max(0, nMaxText - nMaxText % contents.nLine);  // whole lines
  const int nContent = spacing.icon.cx + spacing.nIconGap + contents.text.cx;
  const int nRowRight =
      Pixels(kButtonRowLeft, 0).x + RowWidth(contents, spacing) + spacing.margin.x;
  const int nClientWidth = std::min<int>(std::max<int>({nContent + 2 * spacing.margin.x, nRowRight,
                                                        contents.nCaption + 2 * spacing.margin.x}),
                                         (work.right - work.left) - spacing.frame.cx);
  const int nClientHeight =
      2 * spacing.margin.y + std::max<int>(spacing.icon.cy, contents.text.cy) + nFoot;
  Place(contents, spacing, nClientWidth);
  // Every box stays above the other windows.
  SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, nClientWidth + spacing.frame.cx,
               nClientHeight + spacing.frame.cy, SWP_NOMOVE | SWP_NOACTIVATE);
}

// The icon at the top left with the text beside it (centred on the icon when shorter), the
// buttons in a row at the foot: from the left, or centred when the row is narrower than the text.
void MessageBoxDialog::Place(const Contents& contents, const Spacing& spacing,
                             int nClientWidth) const {
  const POINT margin = spacing.margin;
  const int nBody = std::max<int>(spacing.icon.cy, contents.text.cy);
  MoveItem(kBoxIconId, margin.x, margin.y, spacing.icon.cx, spacing.icon.cy);
  MoveItem(kBoxTextId, margin.x + spacing.icon.cx + spacing.nIconGap,
           margin.y + (nBody - contents.text.cy) / 2, contents.text.cx, contents.text.cy);
  const int nRow = RowWidth(contents, spacing);
  int x = nRow < contents.text.cx ? (nClientWidth - nRow) / 2 : Pixels(kButtonRowLeft, 0).x;
  for (size_t i = 0; i < contents.buttonWidths.size(); ++i) {
    MoveItem(request_.buttons[i].nResult, x, 2 * margin.y + nBody, contents.buttonWidths[i],
             spacing.nButtonHeight);
    x += contents.buttonWidths[i] + spacing.nButtonGap;
  }
}

void MessageBoxDialog::MoveItem(int nId, int x, int y, int cx, int cy) const {
  if (const HWND hItem = Item(nId))
    SetWindowPos(hItem, nullptr, x, y, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

int ShowMessageBoxDialog(DialogSession& session, const MessageBoxRequest& request) {
  return MessageBoxDialog(session, request).Run();
}

}  // namespace tarvium::ui::win32
